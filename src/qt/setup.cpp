#include "qt/setup.h"

#include <QApplication>

#include "qt/text.h"

namespace mk::qt {

void configureApplication() {
    QApplication::setApplicationName(QStringLiteral("makhzan"));
    QApplication::setLayoutDirection(Qt::RightToLeft);
    QApplication::setStyle(new ProgramStyle);
    QApplication::setFont(uiFont());
    // Windows close when the runtime unloads them; the last one closing
    // does not end the program by itself.
    QApplication::setQuitOnLastWindowClosed(false);
}

}  // namespace mk::qt
