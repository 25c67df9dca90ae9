#include "qt/setup.h"

#include <QApplication>
#include <QThreadPool>

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
    // Qt hands every tall fill (a scroll bar, a page, a window's background)
    // to its thread pool and waits for it. A form's fills are small, so
    // waking many threads for each costs more than the fill; one helper
    // thread keeps that cost down, and the program starts none of its own
    // work there.
    QThreadPool::globalInstance()->setMaxThreadCount(1);
}

}  // namespace mk::qt
