#pragma once

#include <QStringList>

// Opens the connection, then creates every window once, in the program's order. The
// journal is handed the build stamp and the login window's version check. False when there
// is no connection (no window is created then).
bool createForms(const QStringList &args);
