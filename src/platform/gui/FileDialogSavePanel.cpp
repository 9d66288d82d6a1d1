#include "FileDialogSavePanel.h"

#include <QFileDialog>
#include <QGuiApplication>
#include <QPointer>
#include <QWindow>
#include <QCoro/QCoroSignal>

QCoro::Task<std::optional<QString>> FileDialogSavePanel::chooseDestination(Request request)
{
    QPointer<QWindow> keyWindow = QGuiApplication::focusWindow();
    QPointer<QFileDialog> dialog = new QFileDialog(nullptr, request.title);
    // The desktop's own dialog may ignore our transient parent and open below the panel.
    dialog->setOption(QFileDialog::DontUseNativeDialog, true);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setNameFilter(request.nameFilter);
    dialog->setDefaultSuffix(request.defaultSuffix);
    dialog->selectFile(request.suggestedName);
    if (keyWindow) {
        dialog->setWindowModality(Qt::WindowModal);
        if (keyWindow->flags().testFlag(Qt::WindowStaysOnTopHint))
            dialog->setWindowFlag(Qt::WindowStaysOnTopHint, true);
        dialog->winId();
        if (QWindow *handle = dialog->windowHandle())
            handle->setTransientParent(keyWindow);
    }
    dialog->open();
    co_await qCoro(dialog.data(), &QDialog::finished);
    if (!dialog)
        co_return std::nullopt;
    std::optional<QString> chosen;
    if (dialog->result() == QDialog::Accepted && !dialog->selectedFiles().isEmpty()
        && !dialog->selectedFiles().constFirst().isEmpty())
        chosen = dialog->selectedFiles().constFirst();
    dialog->deleteLater();
    co_return chosen;
}
