<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>Module sessions and forums</title>
<link rel="stylesheet" href="/public/wqzmodhtm/wqz.css">
</head>
<body>
<p class="kicker">WQZ tutorial modules</p>
<h1>Module sessions and forums</h1>
<p>Instructors set up their course's module sessions and its discussion forum here.</p>
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
