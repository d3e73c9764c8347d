#include "FakeBrowser.h"

namespace fakes {

QWidget* FakeBrowser::widget() {
    if (!widget_) {
        widget_ = new QWidget();
        widget_->setObjectName(QStringLiteral("Browser1"));
    }
    return widget_;
}

void FakeBrowser::navigate(const QString& address) {
    navigations.append(address);
    pending_ = address;
}

bool FakeBrowser::goBack() {
    ++backs;
    if (current_ <= 0) {
        return false;
    }
    location_ = history_.at(--current_);
    emit DownloadComplete();
    return true;
}

bool FakeBrowser::goForward() {
    ++forwards;
    if (current_ + 1 >= history_.size()) {
        return false;
    }
    location_ = history_.at(++current_);
    emit DownloadComplete();
    return true;
}

void FakeBrowser::stop() {
    ++stops;
    if (!pending_.isEmpty()) {
        pending_.clear();
        emit DownloadComplete();
    }
}

void FakeBrowser::finish(const QString& finalAddress) {
    location_ = finalAddress.isEmpty() ? pending_ : finalAddress;
    pending_.clear();
    history_ = history_.mid(0, current_ + 1);
    history_.append(location_);
    current_ = int(history_.size()) - 1;
    emit ProgressChange(100, 100);
    emit ProgressChange(-1, 100);
    emit DownloadComplete();
}

void FakeBrowser::completeOnly() {
    pending_.clear();
    emit DownloadComplete();
}

} // namespace fakes
