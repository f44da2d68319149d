#include "ikony.h"

// The pictures live in a static library: its resources must be registered before first use.
static void registerResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(icons);
        return true;
    }();
    Q_UNUSED(done);
}

namespace ikony {

QPixmap obrazek(const QString& name)
{
    registerResources();
    return QPixmap(QStringLiteral(":/icons/") + name, "PNG");
}

QIcon ikona(const QString& name)
{
    return QIcon(obrazek(name));
}

} // namespace ikony
