<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>Student forum</title>
<link rel="stylesheet" href="/public/wqzmodhtm/wqz.css">
</head>
<body>
<p class="kicker">WQZ tutorial modules</p>
<h1>Student forum</h1>
<p>Students of a school sign in here to the forum of their course.</p>
<p class="note">The forums live on the maker's servers and need a network
connection. Without one, this page is all that can be shown; try again when
you are online.</p>
<ul>
<li><a href="/public/wqzmodhtm/wqzLumo/page1.htm">Back to the module's first page</a></li>
<li><a href="/public/wqzmodhtm/howtouse.htm">How to use the modules</a></li>
<li><a href="/">Home page of the site</a></li>
</ul>
</body>
</html>
