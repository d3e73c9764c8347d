#include "WebEngineBrowser.h"

#include "Plugins.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLibrary>
#include <QVBoxLayout>
#include <QtGlobal>

#include <unistd.h>

namespace platform {

WebEngineBrowser::WebEngineBrowser(QString enginePlugin, QObject* parent)
    : Browser(parent), enginePlugin_(std::move(enginePlugin)) {}

WebEngineBrowser::~WebEngineBrowser() = default;

namespace {

void setIfUnset(const char* name, const QByteArray& value) {
    if (!qEnvironmentVariableIsSet(name)) {
        qputenv(name, value);
    }
}

} // namespace

void WebEngineBrowser::prepareEngine() {
    // Chromium refuses to run as root inside its sandbox. Only then is the
    // sandbox turned off; every other user keeps it.
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    const auto addFlag = [&flags](const QByteArray& flag) {
        if (!flags.contains(flag)) {
            flags += flags.isEmpty() ? flag : ' ' + flag;
        }
    };
    if (geteuid() == 0) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        // Without the sandbox the engine's two zygote processes, kept to
        // start sandboxed page processes, only hold memory (about 100 MB of
        // resident pages between them).
        addFlag("--no-zygote");
    } else {
        // Sandboxed page processes still start from the zygote; the second
        // zygote serves only unsandboxed helpers, which this program starts
        // in-process or not at all.
        addFlag("--no-unsandboxed-zygote");
    }
    // Tutorial pages need no GPU. Drawing them in software spares the program
    // the OpenGL driver's start-up (over a hundred milliseconds on a virtual
    // display) and its memory; the workbench never draws with OpenGL. A user
    // who sets these switches keeps them.
    addFlag("--disable-gpu");
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags);
    setIfUnset("QT_XCB_GL_INTEGRATION", "none");
    setIfUnset("QT_QUICK_BACKEND", "software");
    // The engine shares its contexts with the application's, which it can
    // only ask for before QApplication exists; loaded later from a plugin, it
    // finds the switch already set.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

QByteArray WebEngineBrowser::withHostRulesFirst(const QByteArray& flags, const QByteArray& rules) {
    static const QByteArray kSwitch = "--host-resolver-rules=";
    const qsizetype at = flags.indexOf(kSwitch);
    if (at < 0) {
        QByteArray result = flags;
        if (!result.isEmpty()) {
            result += ' ';
        }
        return result + kSwitch + '"' + rules + '"';
    }
    // The engine takes only one set of rules, and the first rule that matches
    // a host wins: ours go in front of the ones given.
    const qsizetype value = at + kSwitch.size();
    if (flags.mid(value, 1) == "\"") {
        return flags.left(value + 1) + rules + ", " + flags.mid(value + 1);
    }
    qsizetype end = flags.indexOf(' ', value);
    if (end < 0) {
        end = flags.size();
    }
    return flags.left(value) + '"' + rules + ", " + flags.mid(value, end - value) + '"' +
           flags.mid(end);
}

void WebEngineBrowser::mapHostsFirst(const QByteArray& rules) {
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS",
            withHostRulesFirst(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS"), rules));
}

QString WebEngineBrowser::defaultEnginePlugin() {
    return programPlugin(QStringLiteral("libwqzweb.so"));
}

QWidget* WebEngineBrowser::widget() {
    if (!host_) {
        host_ = new QWidget();
        host_->setObjectName(QStringLiteral("Browser1"));
        auto* layout = new QVBoxLayout(host_);
        layout->setContentsMargins(0, 0, 0, 0);
    }
    return host_;
}

void WebEngineBrowser::createView() {
    if (view_ || !engineError_.isEmpty()) {
        return;
    }
    QLibrary plugin(enginePlugin_);
    // Kept loaded for the life of the process: its objects live until the end.
    plugin.setLoadHints(QLibrary::PreventUnloadHint);
    const auto create = reinterpret_cast<CreateEngineView>(plugin.resolve(kCreateEngineViewSymbol));
    if (!create) {
        engineFailed(plugin.errorString());
        return;
    }
    QWidget* host = widget();
    EngineView::Events events;
    events.progress = [this](int progress) { emit ProgressChange(progress, 100); };
    events.finished = [this] {
        emit ProgressChange(-1, 100);
        emit DownloadComplete();
    };
    events.programLink = [this](const QString& address, bool mainFrame) {
        emit ProgramLink(address, mainFrame);
    };
    view_.reset(create(host, std::move(events)));
    host->layout()->addWidget(view_->widget());
    applyZoom();
    if (!pending_.isEmpty()) {
        const QString address = pending_;
        pending_.clear();
        navigate(address);
    }
}

void WebEngineBrowser::engineFailed(const QString& why) {
    engineError_ = why;
    auto* message = new QLabel(
        QStringLiteral("The web browser could not be started, so the tutorial pages cannot be "
                       "shown. The workbench works as usual.\n\n") +
            why,
        widget());
    message->setObjectName(QStringLiteral("engineError"));
    message->setWordWrap(true);
    message->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    message->setMargin(12);
    widget()->layout()->addWidget(message);
    // A navigation that was waiting for the engine ends here, as a failed
    // one does, so nobody waits for it forever.
    if (!pending_.isEmpty()) {
        unreachable_ = pending_;
        pending_.clear();
        emit ProgressChange(-1, 100);
        emit DownloadComplete();
    }
}

void WebEngineBrowser::navigate(const QString& address) {
    if (!view_) {
        if (engineError_.isEmpty()) {
            pending_ = address;
        } else {
            // Without an engine every navigation fails at once; the
            // address stays where the user can see and correct it.
            unreachable_ = address;
            emit ProgressChange(-1, 100);
            emit DownloadComplete();
        }
        return;
    }
    view_->load(address);
}

bool WebEngineBrowser::goBack() {
    return view_ && view_->back();
}

bool WebEngineBrowser::goForward() {
    return view_ && view_->forward();
}

void WebEngineBrowser::stop() {
    if (!view_) {
        // A navigation that never started ends here, as a stopped one does.
        if (!pending_.isEmpty()) {
            pending_.clear();
            emit DownloadComplete();
        }
        return;
    }
    view_->stop();
}

void WebEngineBrowser::applyZoom() {
    if (view_) {
        view_->setZoom(zoom());
    }
}

void WebEngineBrowser::runScript(const QString& script) {
    if (view_) {
        view_->runScript(script);
    }
}

QString WebEngineBrowser::LocationURL() const {
    return view_ ? view_->url() : unreachable_;
}

} // namespace platform
