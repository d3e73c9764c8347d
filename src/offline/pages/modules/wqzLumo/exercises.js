/* The exercises at the end of the tutorial's pages, and their list on the
   contents page. The program judges the answers: a form sends the typed
   answer as a link of the program's own (wqz-workbench:check?...), which the
   program takes instead of loading, and the program answers by calling
   wqzExercises.verdict here. After a wrong answer it sends a hint and a
   "Try it" link to the situation; after a second one, or when the student
   asks with "Show the answer", the true answer. After every page it calls
   wqzExercises.show with the exercises tried so far, which the program keeps
   between runs. In a browser without the program nothing answers, and the
   page says so. Everything the program sends is shown as text. */
(function () {
    'use strict';

    var STATES = {
        right: 'answered right',
        shown: 'answer shown',
        wrong: 'tried, not yet right',
        untried: 'not tried yet'
    };
    var LINK = 'wqz-workbench:';

    function formOf(id) {
        var forms = document.querySelectorAll('form.exercise');
        for (var i = 0; i < forms.length; i++) {
            if (forms[i].getAttribute('data-exercise') === id) {
                return forms[i];
            }
        }
        return null;
    }

    function say(form, text, outcome) {
        var verdict = form.querySelector('.verdict');
        verdict.textContent = text;
        verdict.className = 'verdict ' + outcome;
    }

    // The form's paragraph of that class after its verdict, made on first
    // use.
    function paragraph(form, kind) {
        var p = form.querySelector('p.' + kind);
        if (!p) {
            p = document.createElement('p');
            p.className = kind;
            var after = kind === 'shown' && form.querySelector('p.hint') ||
                form.querySelector('.verdict');
            after.parentNode.insertBefore(p, after.nextSibling);
        }
        return p;
    }

    function showHint(form, hint, tryIt) {
        var p = paragraph(form, 'hint');
        p.textContent = hint ? hint + ' ' : '';
        // Only a link that loads the workbench, as the page's own do.
        if (tryIt && tryIt.indexOf(LINK + 'load?') === 0) {
            var a = document.createElement('a');
            a.href = tryIt;
            a.textContent = 'Try it on the workbench';
            p.appendChild(a);
        }
    }

    function showAnswer(form, text) {
        paragraph(form, 'shown').textContent = text;
    }

    // "Show the answer", beside Check once an answer was wrong.
    function offerAnswer(form) {
        if (form.querySelector('button.show-answer')) {
            return;
        }
        var button = document.createElement('button');
        button.type = 'button';
        button.className = 'show-answer';
        button.textContent = 'Show the answer';
        button.addEventListener('click', function () {
            location.href = LINK + 'check?exercise=' +
                encodeURIComponent(form.getAttribute('data-exercise')) + '&reveal=1';
        });
        var check = form.querySelector('button[type="submit"]');
        check.parentNode.insertBefore(button, check.nextSibling);
        check.parentNode.insertBefore(document.createTextNode(' '), button);
    }

    function settle(form, state) {
        var held = form.getAttribute('data-state');
        // Right stays right; shown stays shown.
        if (held !== 'right' && held !== 'shown') {
            form.setAttribute('data-state', state);
        }
        // The button is there while the answer is still to be found.
        var button = form.querySelector('button.show-answer');
        if (form.getAttribute('data-state') === 'wrong') {
            offerAnswer(form);
        } else if (button) {
            button.parentNode.removeChild(button);
        }
        openFacts();
    }

    // The page's facts, hidden below the exercises, open once every
    // exercise on the page is answered right or its answer shown.
    function openFacts() {
        var forms = document.querySelectorAll('form.exercise');
        if (forms.length === 0) {
            return;
        }
        for (var i = 0; i < forms.length; i++) {
            var state = forms[i].getAttribute('data-state');
            if (state !== 'right' && state !== 'shown') {
                return;
            }
        }
        var facts = document.querySelectorAll('details.facts');
        for (var f = 0; f < facts.length; f++) {
            facts[f].open = true;
        }
    }

    document.addEventListener('submit', function (event) {
        var form = event.target;
        if (!form.classList || !form.classList.contains('exercise')) {
            return;
        }
        event.preventDefault();
        var answer = form.querySelector('input').value;
        say(form, 'Checking\u2026', 'pending');
        location.href = LINK + 'check?exercise=' +
            encodeURIComponent(form.getAttribute('data-exercise')) +
            '&answer=' + encodeURIComponent(answer);
        // The program answers at once; if nothing does, the page is not
        // shown by the program.
        setTimeout(function () {
            var verdict = form.querySelector('.verdict');
            if (verdict.classList.contains('pending')) {
                say(form, 'Only the Option Payoffs program can check answers.', 'unreadable');
            }
        }, 3000);
    });

    var start = document.getElementById('start-over');
    if (start) {
        start.addEventListener('click', function () {
            location.href = LINK + 'progress?clear=1';
        });
    }

    window.wqzExercises = {
        // outcome: "right", "wrong", "unreadable", or "shown" for an answer
        // the student asked to see; message: the program's sentence; help:
        // {hint, tryIt, answer}, each there when the program sends it.
        verdict: function (id, outcome, message, help) {
            var form = formOf(id);
            if (!form) {
                return;
            }
            help = help || {};
            if (outcome !== 'shown') {
                say(form, message, outcome);
            }
            if (outcome === 'wrong') {
                showHint(form, help.hint, help.tryIt);
            }
            if (help.answer) {
                showAnswer(form, help.answer);
            }
            if (outcome === 'right' || outcome === 'shown') {
                settle(form, outcome);
            } else if (outcome === 'wrong') {
                settle(form, help.answer ? 'shown' : 'wrong');
            }
        },
        // states: {id: "right", "wrong" or "shown"} for the exercises tried.
        show: function (states) {
            var forms = document.querySelectorAll('form.exercise');
            for (var f = 0; f < forms.length; f++) {
                var form = forms[f];
                var state = states[form.getAttribute('data-exercise')];
                var verdict = form.querySelector('.verdict');
                if (state && verdict.textContent === '') {
                    if (state === 'right') {
                        say(form, 'You answered this right earlier.', 'right');
                    } else if (state === 'shown') {
                        say(form, 'You saw the answer to this earlier.', 'unreadable');
                    } else {
                        say(form, 'You tried this earlier.', 'wrong');
                    }
                }
                if (state) {
                    settle(form, state);
                }
            }
            var items = document.querySelectorAll('li[data-exercise]');
            for (var i = 0; i < items.length; i++) {
                var s = states[items[i].getAttribute('data-exercise')] || 'untried';
                var label = items[i].querySelector('.state');
                label.textContent = STATES[s] || STATES.untried;
                label.className = 'state ' + s;
            }
        }
    };
}());
