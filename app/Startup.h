#pragma once

#include <QStringList>
#include <functional>

// Creates every window once, in the program's order; the journal window's creation opens
// the connection. The journal is handed the build stamp and the login window's version
// check. False when there is no connection.
bool createForms(const QStringList &args);

// Ends the program: every event loop stops. Tests put their own handler in its place.
void endProgram();
void setEndProgramHandler(std::function<void()> handler);
