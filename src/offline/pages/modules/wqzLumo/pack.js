/* An instructor's exercise pack, as the program opens it for one student.
   The page itself is empty; once it has loaded, the program calls
   wqzPack.show with the pack's title, instructions and questions (each
   student's own numbers already drawn and worded), then wqzExercises.show
   with the questions tried so far. Each question is a form of the very kind
   the lesson pages end with, so that exercises.js checks its answer, gives
   its hint and shows its answer as it does theirs.

   Every text here comes from a pack file that anyone can write, so it is
   only ever set as text, never parsed as markup, and only a link that loads
   the workbench becomes a link.

   The questions are shown one at a time, like pages: the address's fragment
   names the question (#pack-q2); no fragment, or #contents, shows the list
   of them. */
(function () {
    'use strict';

    var LOAD = 'wqz-workbench:load?';
    var CONTENTS = 'contents';
    // As the program names an exercise: lower-case letters and digits in
    // words joined by single hyphens, at most 40 characters.
    var ID = /^[a-z0-9]+(-[a-z0-9]+)*$/;
    var LONGEST_ID = 40;
    // What the page can type into its answer box; the program reads no more.
    var LONGEST_ANSWER = '40';

    var shown = null; // {contents, questions: [{id, section, heading}]}

    function text(value) {
        return typeof value === 'string' ? value : '';
    }

    function element(tag, className, content) {
        var e = document.createElement(tag);
        if (className) {
            e.className = className;
        }
        if (content) {
            e.textContent = content;
        }
        return e;
    }

    function link(href, content, rel) {
        var a = element('a', '', content);
        a.href = href;
        if (rel) {
            a.rel = rel;
        }
        return a;
    }

    // Paragraphs as the instructor wrote them: a blank line starts a new
    // one.
    function paragraphs(parent, words, className) {
        var parts = words.split(/\r?\n[ \t]*\r?\n/);
        for (var i = 0; i < parts.length; i++) {
            var part = parts[i].trim();
            if (part) {
                parent.appendChild(element('p', className, part));
            }
        }
    }

    // The questions that pass: each with an id fit for a form and a
    // fragment, once.
    function questionsOf(data) {
        var given = Array.isArray(data.questions) ? data.questions : [];
        var out = [];
        var seen = {};
        for (var i = 0; i < given.length; i++) {
            var q = given[i];
            if (!q || typeof q !== 'object') {
                continue;
            }
            var id = text(q.exercise);
            if (!ID.test(id) || id.length > LONGEST_ID || id === CONTENTS ||
                    Object.prototype.hasOwnProperty.call(seen, id)) {
                continue;
            }
            seen[id] = true;
            var number = typeof q.number === 'number' && q.number > 0 &&
                Math.floor(q.number) === q.number ? q.number : out.length + 1;
            out.push({
                id: id,
                number: number,
                text: text(q.text),
                asked: text(q.asked),
                numbers: text(q.numbers),
                tryIt: text(q.tryIt),
                percent: q.percent === true
            });
        }
        return out;
    }

    // Previous question, the pack's contents, next question: a span where
    // there is none to go to, as the lesson pages show theirs.
    function navigation(questions, i, bottom) {
        var nav = element('div', bottom ? 'nav bottom' : 'nav');
        nav.appendChild(i > 0 ?
            link('#' + questions[i - 1].id, '\u00ab Previous question', 'prev') :
            element('span', 'none', '\u00ab Previous question'));
        nav.appendChild(link('#' + CONTENTS, 'Contents'));
        nav.appendChild(i + 1 < questions.length ?
            link('#' + questions[i + 1].id, 'Next question \u00bb', 'next') :
            element('span', 'none', 'Next question \u00bb'));
        return nav;
    }

    function contentsOf(data, questions) {
        var part = element('section', 'pack-contents');
        part.id = CONTENTS;
        paragraphs(part, text(data.instructions), '');
        var student = text(data.student).trim();
        part.appendChild(element('h2', '', student ? 'Questions for ' + student : 'Questions'));
        if (questions.length === 0) {
            part.appendChild(element('p', '', 'This pack has no questions.'));
        }
        var list = element('ul', 'exercises');
        for (var i = 0; i < questions.length; i++) {
            var item = element('li');
            item.setAttribute('data-exercise', questions[i].id);
            item.appendChild(link('#' + questions[i].id, 'Question ' + questions[i].number));
            item.appendChild(document.createTextNode(' '));
            item.appendChild(element('span', 'state'));
            list.appendChild(item);
        }
        part.appendChild(list);
        part.appendChild(element('p', '',
            'What you answer is kept on this computer. ' +
            'File > Export Results writes it to a file to hand in.'));
        return part;
    }

    // The form the lesson pages end with, one question in it: its words
    // and numbers above, the situation to try, the asked sentence as the
    // label of the answer box, and the place for the program's verdict.
    function formOf(q) {
        var form = element('form', 'exercise');
        form.id = q.id;
        form.setAttribute('data-exercise', q.id);
        var heading = element('h2', '', 'Question ' + q.number);
        heading.tabIndex = -1;
        form.appendChild(heading);
        paragraphs(form, q.text, '');
        if (q.numbers) {
            form.appendChild(element('p', 'numbers', 'Your numbers: ' + q.numbers));
        }
        if (q.tryIt.indexOf(LOAD) === 0) {
            var tryIt = element('p', 'try');
            tryIt.appendChild(link(q.tryIt, 'Try it on the workbench'));
            form.appendChild(tryIt);
        }
        var label = element('label', '', q.asked);
        label.htmlFor = q.id + '-answer';
        if (q.percent && !/percent/i.test(q.asked)) {
            label.textContent = (q.asked ? q.asked + ' ' : '') + 'Answer in percent.';
        }
        form.appendChild(label);
        var answer = element('span', 'answer');
        var input = element('input');
        input.id = q.id + '-answer';
        input.type = 'text';
        input.setAttribute('inputmode', 'decimal');
        input.setAttribute('autocomplete', 'off');
        input.setAttribute('size', '10');
        input.setAttribute('maxlength', LONGEST_ANSWER);
        answer.appendChild(input);
        answer.appendChild(document.createTextNode(' '));
        var check = element('button', '', 'Check');
        check.type = 'submit';
        answer.appendChild(check);
        form.appendChild(answer);
        var verdict = element('p', 'verdict');
        verdict.setAttribute('role', 'status');
        verdict.setAttribute('aria-live', 'polite');
        form.appendChild(verdict);
        return {form: form, heading: heading};
    }

    // The part the fragment names: a question, or the contents for any
    // other fragment. A question named by following a link takes the focus
    // to its heading, so that a screen reader starts there.
    function showPart(moved) {
        if (!shown) {
            return;
        }
        var wanted = location.hash.replace(/^#/, '');
        try {
            wanted = decodeURIComponent(wanted);
        } catch (e) {
            // A fragment typed by hand that is no encoding names nothing.
        }
        var current = null;
        for (var i = 0; i < shown.questions.length; i++) {
            var q = shown.questions[i];
            q.section.hidden = q.id !== wanted;
            if (q.id === wanted) {
                current = q;
            }
        }
        shown.contents.hidden = current !== null;
        document.getElementById('pack-kicker').textContent = current ?
            'Exercise pack \u00b7 question ' + current.number + ' of ' +
                shown.questions.length :
            shown.kicker;
        if (moved) {
            window.scrollTo(0, 0);
            if (current) {
                current.heading.focus();
            }
        }
    }

    var shownJson = null;

    window.addEventListener('hashchange', function () {
        showPart(true);
    });

    window.wqzPack = {
        // data: {title, instructions, student, revision, questions: [{exercise,
        // number, text, asked, numbers, tryIt, percent}]}; a second call
        // shows the pack afresh, unless it is the pack already shown: the
        // program tells the page again after each page it loads, and what
        // the student typed and was told stays.
        show: function (data) {
            if (!data || typeof data !== 'object') {
                return;
            }
            var json = JSON.stringify(data);
            if (shown && json === shownJson) {
                return;
            }
            shownJson = json;
            var questions = questionsOf(data);
            var title = text(data.title).trim() || 'Exercise pack';
            document.title = 'Option Payoffs: ' + title;
            document.getElementById('pack-title').textContent = title;
            var waiting = document.getElementById('pack-waiting');
            if (waiting) {
                waiting.parentNode.removeChild(waiting);
            }
            var revision = typeof data.revision === 'number' && data.revision > 0 &&
                Math.floor(data.revision) === data.revision ? data.revision : 0;

            var root = document.getElementById('pack');
            while (root.firstChild) {
                root.removeChild(root.firstChild);
            }
            shown = {
                contents: contentsOf(data, questions),
                questions: [],
                kicker: revision ? 'Exercise pack \u00b7 revision ' + revision : 'Exercise pack'
            };
            root.appendChild(shown.contents);
            for (var i = 0; i < questions.length; i++) {
                var section = element('section', 'pack-question');
                var made = formOf(questions[i]);
                section.appendChild(navigation(questions, i, false));
                section.appendChild(made.form);
                section.appendChild(navigation(questions, i, true));
                root.appendChild(section);
                shown.questions.push({
                    id: questions[i].id,
                    number: questions[i].number,
                    section: section,
                    heading: made.heading
                });
            }
            showPart(false);
        }
    };
}());
