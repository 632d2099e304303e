// SPDX-License-Identifier: GPL-3.0-or-later
#include "capture/ImportProgress.h"

#include <QFileInfo>

ImportProgress::ImportProgress(FILE *out, bool terminal)
    : m_out(out)
    , m_terminal(terminal)
{
}

void ImportProgress::start(int total)
{
    m_summary = {};
    m_summary.total = total;
    m_clock.start();
    if (m_terminal) {
        drawBar(QString());
    }
}

void ImportProgress::item(Result result, const QString &source, const QString &detail)
{
    switch (result) {
    case Result::Filed:
        ++m_summary.filed;
        break;
    case Result::Duplicate:
        ++m_summary.duplicates;
        break;
    case Result::Failed:
        ++m_summary.failed;
        break;
    }
    const int done = m_summary.filed + m_summary.duplicates + m_summary.failed;
    if (m_terminal) {
        // Failures stay on screen above the bar.
        if (result == Result::Failed) {
            write(QStringLiteral("\r\033[Kfailed: %1: %2\n").arg(source, detail));
        }
        drawBar(QFileInfo(source).fileName());
        return;
    }
    const QString counter = QStringLiteral("[%1/%2] ").arg(done).arg(m_summary.total);
    switch (result) {
    case Result::Filed:
        write(counter + QStringLiteral("filed %1 -> %2\n").arg(source, detail));
        break;
    case Result::Duplicate:
        write(counter + QStringLiteral("duplicate %1 (same as %2), moved to the trash\n").arg(source, detail));
        break;
    case Result::Failed:
        write(counter + QStringLiteral("failed %1: %2\n").arg(source, detail));
        break;
    }
}

void ImportProgress::finish(bool stopped)
{
    m_summary.stopped = stopped;
    if (m_terminal) {
        write(QStringLiteral("\r\033[K"));
    }
    const int done = m_summary.filed + m_summary.duplicates + m_summary.failed;
    QString text = QStringLiteral("%1 filed, %2 %3, %4 failed")
                       .arg(m_summary.filed)
                       .arg(m_summary.duplicates)
                       .arg(m_summary.duplicates == 1 ? QStringLiteral("duplicate") : QStringLiteral("duplicates"))
                       .arg(m_summary.failed);
    if (stopped) {
        text = QStringLiteral("Stopped after %1 of %2 %3: ")
                   .arg(done)
                   .arg(m_summary.total)
                   .arg(m_summary.total == 1 ? QStringLiteral("file") : QStringLiteral("files")) +
               text;
    }
    write(text + QLatin1Char('\n'));
}

void ImportProgress::write(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), m_out);
    std::fflush(m_out);
}

void ImportProgress::drawBar(const QString &current)
{
    constexpr int kWidth = 30;
    const int done = m_summary.filed + m_summary.duplicates + m_summary.failed;
    const int filledCells = m_summary.total > 0 ? done * kWidth / m_summary.total : kWidth;
    const double seconds = double(m_clock.elapsed()) / 1000.0;
    const double rate = seconds > 0 ? done / seconds : 0.0;
    write(QStringLiteral("\r\033[K[%1%2] %3/%4  %5 files/s  %6")
              .arg(QString(filledCells, QLatin1Char('#')), QString(kWidth - filledCells, QLatin1Char('.')))
              .arg(done)
              .arg(m_summary.total)
              .arg(rate, 0, 'f', 1)
              .arg(current.left(40)));
}
