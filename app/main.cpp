// zavora [FILE]: the drawing program.
#include "app/Shell.h"
#include "app/ShellRules.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    zavora::Shell::Options options;
    options.executablePath = argc > 0 ? argv[0] : "zavora";
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.emplace_back(argv[i]);
    options.commandLine = zavora::joinArguments(arguments);
    zavora::Shell shell(std::move(options));
    if (!shell.start())
        return 0;
    return app.exec();
}
