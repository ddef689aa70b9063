#include "simulatorstartup.h"
#include "simulatorwindow.h"

#include "kn4/qtlanguage.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>

#include <string>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    using namespace kn4::simulator;

    // The manager passes one argument string; a shell may split it at blanks.
    std::string arguments;
    for (int i = 1; i < argc; ++i)
        arguments += (i > 1 ? " " : "") + std::string(argv[i]);
    SimulatorStartup startup = SimulatorStartup::run(arguments, QDir::currentPath().toStdString());
    // Qt's own texts (message box buttons, the print dialog) in the
    // language of the folder.
    kn4::QtLanguage::install(QString::fromStdString(startup.arguments.settingsDir));
    if (startup.ended()) {
        QMessageBox::critical(nullptr, QString::fromStdString(startup.fatalTitle),
                              QString::fromStdString(startup.fatalMessage));
        return 1;
    }
    for (const std::string &message : startup.messages)
        QMessageBox::information(nullptr, QStringLiteral("Simulatore"), QString::fromStdString(message));

    SimulatorWindow window(startup);
    window.show();
    return app.exec();
}
