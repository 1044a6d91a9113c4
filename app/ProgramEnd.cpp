#include "ProgramEnd.h"

#include <QCoreApplication>

namespace {
std::function<void()> endHandler;
}

void endProgram()
{
    if (endHandler) {
        endHandler();
        return;
    }
    QCoreApplication::exit(0);
}

void setEndProgramHandler(std::function<void()> handler)
{
    endHandler = std::move(handler);
}
