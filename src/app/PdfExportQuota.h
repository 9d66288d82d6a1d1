#pragma once

#include "app/PracticePdfRenderer.h"
#include "models/QuestionModel.h"

#include <QHash>
#include <QString>
#include <QCoro/QCoroTask>

#include <functional>
#include <memory>

class Clock;

// The one entry of the PDF export: at most 150 questions per environment,
// account and UTC+8 calendar day, counted on this machine in a small JSON
// ledger. The questions are reserved before anything is rendered and given
// back when rendering fails. One export at a time per process.
//
// The ledger is read and written under a lock file, so two running copies of
// the program never lose each other's counts. A ledger that cannot be read or
// is not in the expected format is left as it is and refuses every export
// until it is mended or removed: starting it afresh would lift the day's limit.
class PdfExportQuota
{
public:
    static constexpr qint64 dailyLimit = 150;
    using RendererFactory = std::function<std::unique_ptr<PracticePdfRenderer>()>;

    PdfExportQuota(Clock &clock, QString ledgerPath, RendererFactory makeRenderer);

    // The generic data folder + "/Zevarud/pdf-export-quota.json".
    [[nodiscard]] static QString defaultLedgerPath();
    [[nodiscard]] const QString &ledgerPath() const { return m_ledgerPath; }

    // "2026-12-08": the calendar day at UTC+8 of a moment in ms since 1970.
    [[nodiscard]] static QString utc8Day(qint64 milliseconds);
    // The ledger key: the compact JSON array [day, environment, account].
    [[nodiscard]] static QString dayKey(qint64 milliseconds, const QString &environment, const QString &account);

    // True while an export of this process runs.
    [[nodiscard]] static bool isExporting();

    // Checks, reserves, renders to destination, and gives the reservation back
    // when rendering fails. Throws a PdfExportError (or the renderer's error).
    QCoro::Task<> exportPractice(QuestionModel model, QString title, QString destination, QString environment,
                                 QString account, PracticePdfRenderer::Progress progress);

    // The ledger as stored; throws, like an export would, when it is damaged.
    [[nodiscard]] QHash<QString, qint64> readLedger() const;

private:
    [[nodiscard]] QHash<QString, qint64> load() const;
    void save(const QHash<QString, qint64> &ledger) const;
    // Reserves count questions under key; returns nothing, throws on refusal.
    void reserve(const QString &key, const QuestionModel &model, qint64 *reserved) const;
    void giveBack(const QString &key, qint64 count) const;

    Clock *m_clock;
    QString m_ledgerPath;
    RendererFactory m_makeRenderer;
};
