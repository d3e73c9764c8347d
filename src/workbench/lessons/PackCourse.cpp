#include "PackCourse.h"

#include "Lessons.h"

#include <QStringList>
#include <QXmlStreamWriter>

#include <algorithm>
#include <exception>
#include <optional>
#include <vector>

namespace workbench::packcourse {

namespace {

// Variant k of the pack's question i, or none when the program finds no
// answer to it. The models throw on inputs they cannot value; such a
// variant is left out as one without an answer.
std::optional<Variant> variantOf(const packs::Pack& pack, std::size_t i, int k) {
    const packs::Question& q = pack.questions[i];
    const bool percent = lessons::inPercent(q.asks);
    try {
        const packs::Numbers numbers = packs::draw(pack, q, QStringLiteral("variant %1").arg(k));
        const lessons::Question posed = packs::posed(q, numbers);
        const QString answer = lessons::trueAnswer(posed);
        if (answer.isEmpty()) {
            return std::nullopt;
        }
        QStringList parts;
        if (!q.text.trimmed().isEmpty()) {
            parts << q.text.trimmed();
        }
        if (const QString drawn = packs::numbersText(numbers); !drawn.isEmpty()) {
            parts << QStringLiteral("Your numbers: ") + drawn + u'.';
        }
        parts << packs::asked(q, numbers) +
                     (percent ? QStringLiteral(" Type the percentage as a number alone: "
                                               "42.5 for 42.5 %.")
                              : QString());
        parts << QStringLiteral("Set it up on the workbench with this link: ") + posed.link;
        return Variant{QStringLiteral("Q%1 (%2) variant %3").arg(i + 1).arg(q.id).arg(k),
                       parts.join(QStringLiteral("\n\n")),
                       answer,
                       QString::number(q.tolerance, 'g', 6),
                       q.hint,
                       QStringLiteral("Right: ") + lessons::topic(posed) + QStringLiteral(" is ") +
                           answer + (percent ? QStringLiteral(" %.") : QStringLiteral("."))};
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

} // namespace

std::optional<std::vector<Variant>> variantsOf(const packs::Pack& pack, int variants, int* leftOut,
                                               const Progress& progress) {
    variants = std::clamp(variants, 1, packs::limits::mostVariants);
    std::vector<Variant> out;
    int missing = 0;
    const int total = int(pack.questions.size()) * variants;
    for (std::size_t i = 0; i < pack.questions.size(); ++i) {
        for (int k = 1; k <= variants; ++k) {
            if (progress && !progress(int(i) * variants + k - 1, total)) {
                return std::nullopt;
            }
            if (std::optional<Variant> v = variantOf(pack, i, k)) {
                out.push_back(std::move(*v));
            } else {
                ++missing;
            }
        }
    }
    if (leftOut) {
        *leftOut = missing;
    }
    return out;
}

namespace {

// The category the questions land in, under the course's own questions: a
// "/" in the title is doubled, since a single one would start a
// subcategory, and one at either end is kept off the separator by a blank.
QString categoryPath(const packs::Pack& pack) {
    QString name = pack.title.simplified();
    name.replace(u'/', QStringLiteral("//"));
    if (name.startsWith(u'/')) {
        name.prepend(u' ');
    }
    if (name.endsWith(u'/')) {
        name.append(u' ');
    }
    return QStringLiteral("$course$/top/") + name;
}

// XML 1.0 has no place for most control characters, lone surrogates or the
// two non-characters at the top of the plane, and the writer would pass
// them on; none belongs in a question.
QString xmlSafe(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out += c;
            out += text[++i];
        } else if (c == u'\t' || c == u'\n' ||
                   (c >= u'\x20' && !c.isSurrogate() && c != QChar(0xFFFE) && c != QChar(0xFFFF))) {
            out += c;
        }
    }
    return out;
}

void textElement(QXmlStreamWriter& xml, const QString& element, const QString& text) {
    xml.writeStartElement(element);
    xml.writeAttribute(QStringLiteral("format"), QStringLiteral("plain_text"));
    xml.writeTextElement(QStringLiteral("text"), xmlSafe(text));
    xml.writeEndElement();
}

// GIFT's marks lose their meaning after a backslash; a line break inside a
// question is written "\n", since a blank line ends the question.
QString giftEscaped(const QString& text) {
    QString out;
    out.reserve(text.size() + 16);
    for (const QChar c : text) {
        if (QStringView(u"\\~=#{}:").contains(c)) {
            out += u'\\';
            out += c;
        } else if (c == u'\n') {
            out += QStringLiteral("\\n");
        } else if (c != u'\r') {
            out += c;
        }
    }
    return out;
}

QString about(const packs::Pack& pack, int variants) {
    return QStringLiteral("The workbench's exercise pack %1, revision %2: %3 questions, %4 "
                          "variants each.")
        .arg(pack.id)
        .arg(pack.revision)
        .arg(pack.questions.size())
        .arg(std::clamp(variants, 1, packs::limits::mostVariants));
}

} // namespace

QByteArray moodleXml(const packs::Pack& pack, int variants, int* leftOut) {
    return moodleXml(pack, *variantsOf(pack, variants, leftOut), variants);
}

QString gift(const packs::Pack& pack, int variants, int* leftOut) {
    return gift(pack, *variantsOf(pack, variants, leftOut), variants);
}

QByteArray moodleXml(const packs::Pack& pack, const std::vector<Variant>& all, int variants) {
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("quiz"));
    xml.writeComment(QStringLiteral(" ") + about(pack, variants) + QStringLiteral(" "));
    xml.writeStartElement(QStringLiteral("question"));
    xml.writeAttribute(QStringLiteral("type"), QStringLiteral("category"));
    xml.writeStartElement(QStringLiteral("category"));
    xml.writeTextElement(QStringLiteral("text"), xmlSafe(categoryPath(pack)));
    xml.writeEndElement();
    textElement(xml, QStringLiteral("info"), pack.instructions);
    xml.writeEndElement();
    for (const Variant& v : all) {
        xml.writeStartElement(QStringLiteral("question"));
        xml.writeAttribute(QStringLiteral("type"), QStringLiteral("numerical"));
        xml.writeStartElement(QStringLiteral("name"));
        xml.writeTextElement(QStringLiteral("text"), xmlSafe(v.name));
        xml.writeEndElement();
        textElement(xml, QStringLiteral("questiontext"), v.text);
        textElement(xml, QStringLiteral("generalfeedback"), v.hint);
        xml.writeTextElement(QStringLiteral("defaultgrade"), QStringLiteral("1"));
        // A third of the mark off for each wrong try, as the platform's own
        // numerical questions start.
        xml.writeTextElement(QStringLiteral("penalty"), QStringLiteral("0.3333333"));
        xml.writeTextElement(QStringLiteral("hidden"), QStringLiteral("0"));
        xml.writeStartElement(QStringLiteral("answer"));
        xml.writeAttribute(QStringLiteral("fraction"), QStringLiteral("100"));
        xml.writeAttribute(QStringLiteral("format"), QStringLiteral("plain_text"));
        xml.writeTextElement(QStringLiteral("text"), v.answer);
        xml.writeTextElement(QStringLiteral("tolerance"), v.tolerance);
        textElement(xml, QStringLiteral("feedback"), v.right);
        xml.writeEndElement();
        // No units: the number alone is marked.
        xml.writeTextElement(QStringLiteral("unitgradingtype"), QStringLiteral("0"));
        xml.writeTextElement(QStringLiteral("unitpenalty"), QStringLiteral("0.1000000"));
        xml.writeTextElement(QStringLiteral("showunits"), QStringLiteral("3"));
        xml.writeTextElement(QStringLiteral("unitsleft"), QStringLiteral("0"));
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    return bytes;
}

QString gift(const packs::Pack& pack, const std::vector<Variant>& all, int variants) {
    QString text = QStringLiteral("// ") + pack.title.simplified() + u'\n';
    text += QStringLiteral("// ") + about(pack, variants) + u'\n';
    // The category line is taken as it stands, without GIFT's escapes.
    text += QStringLiteral("$CATEGORY: ") + categoryPath(pack) + QStringLiteral("\n\n");
    for (const Variant& v : all) {
        text += QStringLiteral("::") + giftEscaped(v.name) + QStringLiteral("::[plain]") +
                giftEscaped(v.text) + QStringLiteral(" {#") + v.answer + u':' + v.tolerance;
        if (!v.hint.isEmpty()) {
            text += QStringLiteral("####") + giftEscaped(v.hint);
        }
        text += QStringLiteral("}\n\n");
    }
    return text;
}

} // namespace workbench::packcourse
