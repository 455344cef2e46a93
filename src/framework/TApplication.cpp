#include "framework/TApplication.h"

#include <QApplication>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QStyle>

#include "dataaccess/TNetConnection.h"
#include "framework/TfrmPadraoGrid.h"

TApplication& TApplication::Instance() {
    static TApplication application;
    return application;
}

void TApplication::SetConfig(THostConfig config) {
    m_config = std::move(config);
    TNetConnection::SetTlsDefaults(m_config.Tls, m_config.CaFile);
}

void TApplication::SetMainForm(QMainWindow* mainForm, QMdiArea* mdiArea) {
    m_mainForm = mainForm;
    m_mdiArea = mdiArea;
}

void TApplication::SetCursor(int cursor) {
    // The override stack is unwound completely, so crDefault always means the normal cursor.
    while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
    if (cursor == crHourGlass) QApplication::setOverrideCursor(Qt::WaitCursor);
    m_cursor = cursor == crHourGlass ? crHourGlass : crDefault;
}

void TApplication::Adopt(TfrmPadraoGrid* form) {
    QPointer<TfrmPadraoGrid> guard(form);
    if (m_mdiArea) {
        QSize designed = form->size();
        QMdiSubWindow* window = m_mdiArea->addSubWindow(form);
        // The sub-window fits the form's designed size, not its smaller layout hint.
        int frame =
            window->style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, window);
        int title = window->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window);
        window->resize(designed + QSize(2 * frame, title + frame));
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->setWindowIcon(QIcon());
        window->hide();
    } else {
        form->setAttribute(Qt::WA_DeleteOnClose);
    }
    form->Create();
}
