#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QSettings>
#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "app/dialogs/qt_color_chooser.h"
#include "app/file_chooser.h"
#include "app/kel_app.h"
#include "app/main_frame.h"
#include "app/open_request.h"
#include "app/open_request_channel.h"
#include "app/qt_user_messages.h"
#include "app/tree_pane.h"
#include "platform/heap_policy.h"

namespace {

std::vector<std::string> commandLine(const QStringList& arguments) {
    std::vector<std::string> result;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        result.push_back(arguments[i].toStdString());
    }
    return result;
}

// Names given on the command line are relative to where the request was made.
std::vector<std::string> absoluteFiles(const std::vector<std::string>& files) {
    std::vector<std::string> result;
    for (const std::string& file : files) {
        result.push_back(QFileInfo(QString::fromStdString(file)).absoluteFilePath().toStdString());
    }
    return result;
}

}  // namespace

int main(int argc, char* argv[]) {
    Q_INIT_RESOURCE(kel);
    // Past a file-size limit a save should fail and be reported, the old file kept.
    std::signal(SIGXFSZ, SIG_IGN);
    kel::prepareHeapForModels();
    QApplication application(argc, argv);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/kel/kel.png")));

    // Only the desktop's open request is read from the command line; a running viewer
    // takes it over, so this process ends at once.
    const std::vector<std::string> requested =
        absoluteFiles(kel::openRequestFiles(commandLine(QApplication::arguments())));
    std::string channelProblem;
    const QString serverName = kel::defaultOpenRequestServerName(&channelProblem);
    if (serverName.isEmpty()) {
        // Never a shared fixed name: without a private folder there is no channel.
        std::cerr << "kel: no private folder for the open-request socket (" << channelProblem
                  << "); running without the single-instance channel\n";
    } else if (!requested.empty() && kel::forwardOpenRequest(serverName, requested)) {
        return 0;
    }

    kel::QtUserMessages messages;
    kel::QtFileChooser files;
    kel::QtColorChooser colors;
    kel::CKelApp app({messages, files,
                      std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                                  QStringLiteral("Kel"), QStringLiteral("Kel")),
                      kel::makeTreePaneFactory(messages, colors)});
    if (!app.initInstance()) {
        return 1;
    }
    messages.setParent(&app.mainFrame());

    kel::OpenRequestServer server(serverName, [&app](const std::string& path) {
        app.mainFrame().activateWindow();
        app.openDocumentFile(path);
    });
    if (!serverName.isEmpty()) {
        server.listen();
    }
    for (const std::string& path : requested) {
        app.openDocumentFile(path);
    }
    return QApplication::exec();
}
