#pragma once

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

// The scripts by which the program answers the tutorial's pages. The page
// hears the program through its functions, given JSON, which quotes whatever
// the texts hold, so none of them can end the script: a pack's texts come
// from a file anyone may have written.
namespace shell::pageScripts {

inline QString call(const char* function, const QJsonValue& argument, bool spread = false) {
    const QByteArray json = argument.isArray()
                                ? QJsonDocument(argument.toArray()).toJson(QJsonDocument::Compact)
                                : QJsonDocument(argument.toObject()).toJson(QJsonDocument::Compact);
    const QString name = QString::fromLatin1(function);
    const QString object = name.section(u'.', 0, 0);
    return spread
               ? QStringLiteral("window.%1 && %2.apply(null, %3);")
                     .arg(object, name, QString::fromUtf8(json))
               : QStringLiteral("window.%1 && %2(%3);").arg(object, name, QString::fromUtf8(json));
}

// wqzExercises.verdict(id, outcome, message, help).
inline QString verdict(const QJsonArray& arguments) {
    return call("wqzExercises.verdict", arguments, true);
}

// wqzExercises.show({id: standing}).
inline QString states(const QJsonObject& states) {
    return call("wqzExercises.show", states);
}

} // namespace shell::pageScripts
