#pragma once

#include <QIcon>

// The icon of the maintenance windows (the journal, its editor and the nomenclature picker).
QIcon maintenanceIcon();
