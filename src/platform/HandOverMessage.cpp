#include "HandOverMessage.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QtEndian>

namespace platform::handover {

std::optional<QByteArray> encode(const QStringList& arguments) {
    if (arguments.size() > mostArguments) {
        return std::nullopt;
    }
    const QByteArray body =
        QJsonDocument(QJsonArray::fromStringList(arguments)).toJson(QJsonDocument::Compact);
    if (body.size() > largestBody) {
        return std::nullopt;
    }
    QByteArray message(magic, magicSize);
    char length[4];
    qToBigEndian(static_cast<quint32>(body.size()), length);
    message.append(length, 4);
    message.append(body);
    return message;
}

qsizetype Reader::room() const {
    if (state_ != State::Reading) {
        return 0;
    }
    if (buffer_.size() < magicSize + 4) {
        return magicSize + 4 - buffer_.size();
    }
    const auto body =
        static_cast<qsizetype>(qFromBigEndian<quint32>(buffer_.constData() + magicSize));
    return magicSize + 4 + body - buffer_.size();
}

Reader::State Reader::refuse() {
    buffer_.clear();
    arguments_.clear();
    state_ = State::Refused;
    return state_;
}

Reader::State Reader::feed(const QByteArray& bytes) {
    if (state_ != State::Reading) {
        return bytes.isEmpty() ? state_ : refuse();
    }
    if (bytes.size() > room()) {
        return refuse();
    }
    buffer_.append(bytes);
    // Told apart from the first byte on: a stranger's bytes are never kept.
    const qsizetype head = std::min(buffer_.size(), magicSize);
    if (QByteArrayView(buffer_).first(head) != QByteArrayView(magic, head)) {
        return refuse();
    }
    if (buffer_.size() < magicSize + 4) {
        return state_;
    }
    const quint32 body = qFromBigEndian<quint32>(buffer_.constData() + magicSize);
    if (body > static_cast<quint32>(largestBody)) {
        return refuse();
    }
    if (buffer_.size() < magicSize + 4 + static_cast<qsizetype>(body)) {
        return state_;
    }
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(buffer_.mid(magicSize + 4), &error);
    if (error.error != QJsonParseError::NoError || !document.isArray() ||
        document.array().size() > mostArguments) {
        return refuse();
    }
    QStringList arguments;
    for (const QJsonValue& value : document.array()) {
        if (!value.isString() || value.toString().isEmpty()) {
            return refuse();
        }
        arguments << value.toString();
    }
    buffer_.clear();
    arguments_ = arguments;
    state_ = State::Complete;
    return state_;
}

} // namespace platform::handover
