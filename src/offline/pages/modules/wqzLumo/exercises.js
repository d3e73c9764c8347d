/* The exercises at the end of the strategy pages, and their list on the
   contents page. The program judges the answers: a form sends the typed
   answer as a link of the program's own (wqz-workbench:check?...), which the
   program takes instead of loading, and the program answers by calling
   wqzExercises.verdict here. After every page it calls wqzExercises.show with
   the exercises answered so far. In a browser without the program nothing
   answers, and the page says so. */
(function () {
    'use strict';

    var STATES = {
        right: 'answered right',
        wrong: 'tried, not yet right',
        untried: 'not tried yet'
    };

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

    document.addEventListener('submit', function (event) {
        var form = event.target;
        if (!form.classList || !form.classList.contains('exercise')) {
            return;
        }
        event.preventDefault();
        var answer = form.querySelector('input').value;
        say(form, 'Checking\u2026', 'pending');
        location.href = 'wqz-workbench:check?exercise=' +
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

    window.wqzExercises = {
        // outcome: "right", "wrong" or "unreadable"; message: the program's
        // sentence, shown as text.
        verdict: function (id, outcome, message) {
            var form = formOf(id);
            if (form) {
                say(form, message, outcome);
            }
        },
        // states: {id: "right" or "wrong"} for the exercises tried so far.
        show: function (states) {
            var forms = document.querySelectorAll('form.exercise');
            for (var f = 0; f < forms.length; f++) {
                var verdict = forms[f].querySelector('.verdict');
                if (states[forms[f].getAttribute('data-exercise')] === 'right' &&
                        verdict.textContent === '') {
                    say(forms[f], 'You answered this right earlier.', 'right');
                }
            }
            var items = document.querySelectorAll('li[data-exercise]');
            for (var i = 0; i < items.length; i++) {
                var state = states[items[i].getAttribute('data-exercise')] || 'untried';
                var label = items[i].querySelector('.state');
                label.textContent = STATES[state] || STATES.untried;
                label.className = 'state ' + state;
            }
        }
    };
}());
