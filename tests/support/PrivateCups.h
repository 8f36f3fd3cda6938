// Helpers of the tests that print through the private CUPS server (private-cups.sh, started by
// the CTest fixture private_cups): whether it runs, and the PDF that cups-pdf made of a job.
// Only for test programs built with QUEUE (they know the server's folder) and linked with
// brisella_print.
#pragma once

#include "print/CupsQueue.h"
#include "support/TestSupport.h"

#include <cups/cups.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

namespace bbtest {

inline QString privateCupsDir() {
    return QStringLiteral(BRISELLA_PRIVATE_CUPS);
}

// Why the queue tests cannot run here, or empty when the server is up.
inline QString privateCupsUnavailable() {
    QFile reason(privateCupsDir() + "/unavailable");
    if (reason.open(QIODevice::ReadOnly)) return QString::fromUtf8(reason.readAll()).trimmed();
    if (!QFileInfo::exists(privateCupsDir() + "/cups.sock"))
        return QStringLiteral(
            "the private CUPS server is not running (run the tests through ctest, "
            "whose fixture private_cups starts it)");
    return {};
}

#define BB_REQUIRE_PRIVATE_CUPS()                                                            \
    do {                                                                                     \
        const QString why = ::bbtest::privateCupsUnavailable();                              \
        if (!why.isEmpty()) GTEST_SKIP() << "no private CUPS server: " << why.toStdString(); \
    } while (0)

// The PDF that cups-pdf wrote for job `jobId`, once the job has left the queue and the file
// stopped growing; empty when the job failed or the hang guard ran out.
inline QString queueOutput(int jobId) {
    QElapsedTimer t;
    t.start();
    const QDir out(privateCupsDir() + "/out");
    const QStringList patterns{QStringLiteral("*-job_%1.pdf").arg(jobId),
                               QStringLiteral("job_%1-*.pdf").arg(jobId)};
    qint64 lastSize = -1;
    while (t.elapsed() < kHangGuardMs) {
        const auto job = bb::cups::jobInfo(jobId);
        if (job && job->ended()) {
            if (job->state != bb::JobInfo::Completed) return {};
            const QFileInfoList files = out.entryInfoList(patterns, QDir::Files);
            if (!files.isEmpty()) {
                const qint64 size = files.first().size();
                if (size > 0 && size == lastSize) return files.first().absoluteFilePath();
                lastSize = size;
            }
        }
        QThread::msleep(200);
    }
    return {};
}

// A keyword attribute of job `jobId` as the server keeps it (for example "sides"); empty when
// the job or the attribute is missing.
inline QString jobKeyword(int jobId, const char* name) {
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    const QByteArray uri = "ipp://localhost/jobs/" + QByteArray::number(jobId);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri.constData());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr,
                 name);
    ipp_t* response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
    QString value;
    if (ipp_attribute_t* a = response ? ippFindAttribute(response, name, IPP_TAG_KEYWORD) : nullptr)
        value = QString::fromUtf8(ippGetString(a, 0, nullptr));
    ippDelete(response);
    return value;
}

}  // namespace bbtest
