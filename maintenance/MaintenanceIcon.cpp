#include "MaintenanceIcon.h"

QIcon maintenanceIcon()
{
    return QIcon(QStringLiteral(":/Icon_1.xpm"));
}
