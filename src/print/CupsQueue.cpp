// The queues of the CUPS server; see CupsQueue.h.
#include "print/CupsQueue.h"

#include <QDeadlineTimer>
#include <QScopeGuard>
#include <QThread>

#include <cups/cups.h>

#include <algorithm>
#include <memory>

namespace bb::cups {

namespace {

// A server that stops answering in the middle of a reply ends the request instead of being
// waited for again.
int giveUp(http_t*, void*) {
    return 0;
}

struct HttpCloser {
    void operator()(http_t* http) const { httpClose(http); }
};
using Connection = std::unique_ptr<http_t, HttpCloser>;

Connection connectTo(int timeoutMs) {
    int cancel = 0;
    http_t* http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                                std::max(1, timeoutMs), &cancel);
    if (http) httpSetTimeout(http, std::max(1, timeoutMs) / 1000.0, giveUp, nullptr);
    return Connection(http);
}

struct IppDeleter {
    void operator()(ipp_t* ipp) const { ippDelete(ipp); }
};
using Ipp = std::unique_ptr<ipp_t, IppDeleter>;

// Sends the request (which it takes over); a null reply when the server did not answer or
// refused. `status` receives the IPP status.
Ipp send(http_t* http, ipp_t* request, const char* resource = "/", ipp_status_t* status = nullptr) {
    // The server shows a job's title only to its owner.
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 cupsUser());
    Ipp reply(cupsDoRequest(http, request, resource));
    const ipp_status_t s = cupsLastError();
    if (status) *status = s;
    if (s > IPP_STATUS_OK_EVENTS_COMPLETE) return nullptr;
    return reply;
}

QString printerUri(const QString& queue) {
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", 0,
                     "/printers/%s", queue.toUtf8().constData());
    return QString::fromUtf8(uri);
}

QString text(ipp_attribute_t* attr) {
    return attr ? QString::fromUtf8(ippGetString(attr, 0, nullptr)) : QString();
}

JobInfo::State jobState(int ippState) {
    switch (ippState) {
        case IPP_JSTATE_HELD:
            return JobInfo::Held;
        case IPP_JSTATE_PROCESSING:
            return JobInfo::Processing;
        case IPP_JSTATE_STOPPED:
            return JobInfo::Stopped;
        case IPP_JSTATE_CANCELED:
            return JobInfo::Canceled;
        case IPP_JSTATE_ABORTED:
            return JobInfo::Aborted;
        case IPP_JSTATE_COMPLETED:
            return JobInfo::Completed;
        default:
            return JobInfo::Pending;
    }
}

const char* const kJobAttributes[] = {"job-id", "job-name", "job-state", "job-state-message",
                                      "job-printer-state-message"};

// The jobs of one reply, each group of job attributes one entry.
QList<JobInfo> jobsOf(ipp_t* reply) {
    QList<JobInfo> jobs;
    JobInfo job;
    QString stateMessage, printerMessage;
    auto flush = [&] {
        if (job.id > 0) {
            job.message = !printerMessage.isEmpty() ? printerMessage : stateMessage;
            jobs.append(job);
        }
        job = JobInfo();
        stateMessage.clear();
        printerMessage.clear();
    };
    for (ipp_attribute_t* a = ippFirstAttribute(reply); a; a = ippNextAttribute(reply)) {
        if (ippGetGroupTag(a) != IPP_TAG_JOB) {
            flush();
            continue;
        }
        const char* name = ippGetName(a);
        if (!name) continue;
        const QByteArray n(name);
        if (n == "job-id") {
            job.id = ippGetInteger(a, 0);
        } else if (n == "job-name") {
            job.title = text(a);
        } else if (n == "job-state") {
            job.state = jobState(ippGetInteger(a, 0));
        } else if (n == "job-state-message") {
            stateMessage = text(a);
        } else if (n == "job-printer-state-message") {
            printerMessage = text(a);
        }
    }
    flush();
    return jobs;
}

std::optional<QList<JobInfo>> jobsOfQueue(const QString& queue, int timeoutMs) {
    Connection http = connectTo(timeoutMs);
    if (!http) return std::nullopt;
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOBS);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
                 printerUri(queue).toUtf8().constData());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "which-jobs", nullptr, "all");
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  int(std::size(kJobAttributes)), nullptr, kJobAttributes);
    ipp_status_t status = IPP_STATUS_OK;
    Ipp reply = send(http.get(), request, "/", &status);
    if (!reply) {
        // An unknown queue has no jobs; only a silent server is "no answer".
        if (status == IPP_STATUS_ERROR_NOT_FOUND) return QList<JobInfo>();
        return std::nullopt;
    }
    return jobsOf(reply.get());
}

QString stateName(JobInfo::State state) {
    switch (state) {
        case JobInfo::Canceled:
            return QStringLiteral("the job was cancelled");
        case JobInfo::Aborted:
            return QStringLiteral("the job was aborted");
        default:
            return QString();
    }
}

// The server's queues over an open connection; nullopt when it does not answer.
std::optional<QList<QueueInfo>> queuesOn(http_t* http) {
    static const char* const attrs[] = {"printer-name", "printer-state",
                                        "printer-is-accepting-jobs", "printer-state-message"};
    ipp_t* request = ippNewRequest(IPP_OP_CUPS_GET_PRINTERS);
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  int(std::size(attrs)), nullptr, attrs);
    ipp_status_t status = IPP_STATUS_OK;
    Ipp reply = send(http, request, "/", &status);
    // A server without printers answers "not found".
    if (!reply) {
        if (status == IPP_STATUS_ERROR_NOT_FOUND) return QList<QueueInfo>();
        return std::nullopt;
    }
    QList<QueueInfo> list;
    QueueInfo q;
    auto flush = [&] {
        if (!q.name.isEmpty()) list.append(q);
        q = QueueInfo();
    };
    for (ipp_attribute_t* a = ippFirstAttribute(reply.get()); a;
         a = ippNextAttribute(reply.get())) {
        if (ippGetGroupTag(a) != IPP_TAG_PRINTER) {
            flush();
            continue;
        }
        const char* name = ippGetName(a);
        if (!name) continue;
        const QByteArray n(name);
        if (n == "printer-name") {
            q.name = text(a);
        } else if (n == "printer-state") {
            const int s = ippGetInteger(a, 0);
            q.state = s == IPP_PSTATE_STOPPED      ? QueueState::Stopped
                      : s == IPP_PSTATE_PROCESSING ? QueueState::Processing
                                                   : QueueState::Idle;
        } else if (n == "printer-is-accepting-jobs") {
            q.accepting = ippGetBoolean(a, 0);
        } else if (n == "printer-state-message") {
            q.message = text(a);
        }
    }
    flush();
    return list;
}

}  // namespace

QString serverName() {
    // cupsServer() leaves out the port, which tells two servers on one host apart.
    QString server = QString::fromUtf8(cupsServer());
    if (server.startsWith(QLatin1Char('/'))) return server;
    return QStringLiteral("%1:%2").arg(server).arg(ippPort());
}

bool serverReachable(int timeoutMs) {
    return connectTo(timeoutMs) != nullptr;
}

std::optional<QList<QueueInfo>> queues(int timeoutMs) {
    Connection http = connectTo(timeoutMs);
    if (!http) return std::nullopt;
    return queuesOn(http.get());
}

PrintService askService(int timeoutMs) {
    PrintService service;
    Connection http = connectTo(timeoutMs);
    if (!http) return service;  // Unreachable
    auto list = queuesOn(http.get());
    if (!list) {
        service.state = ServiceState::Silent;
        return service;
    }
    service.state = ServiceState::Answering;
    service.queues = *list;
    // LPDEST, PRINTER and lpoptions first, as every CUPS client; then the server's own default.
    if (const char* name = cupsGetDefault2(http.get())) {
        const QString found = QString::fromUtf8(name);
        for (const QueueInfo& q : service.queues)
            if (q.name == found) service.defaultPrinter = found;
    }
    return service;
}

QString serviceProblem(ServiceState state, int timeoutMs) {
    switch (state) {
        case ServiceState::Answering:
            return {};
        case ServiceState::Silent:
            return QStringLiteral(
                       "the printer service (CUPS) at %1 does not answer (no reply within %2 "
                       "seconds)")
                .arg(serverName())
                .arg(std::max(1, timeoutMs / 1000));
        case ServiceState::Unreachable:
            break;
    }
    return QStringLiteral(
               "the printer service (CUPS) at %1 cannot be reached (nothing answers the "
               "connection); is it running?")
        .arg(serverName());
}

void withoutService(const std::function<void()>& f) {
    // cupsSetServer is per thread; nullptr gives back CUPS_SERVER or client.conf's server.
    cupsSetServer("/nonexistent/brisella-no-print-service.sock");
    const auto restore = qScopeGuard([] { cupsSetServer(nullptr); });
    f();
}

bool acceptsJobs(const QueueInfo& queue) {
    return queue.accepting && queue.state != QueueState::Stopped;
}

std::optional<int> highestJobId(const QString& queue, int timeoutMs) {
    const auto jobs = jobsOfQueue(queue, timeoutMs);
    if (!jobs) return std::nullopt;
    int highest = 0;
    for (const JobInfo& j : *jobs) highest = std::max(highest, j.id);
    return highest;
}

std::optional<JobInfo> findJob(const QString& queue, int afterId, const QString& title,
                               int timeoutMs) {
    const auto jobs = jobsOfQueue(queue, timeoutMs);
    if (!jobs) return std::nullopt;
    std::optional<JobInfo> found;
    for (const JobInfo& j : *jobs) {
        if (j.id > afterId && j.title == title && (!found || j.id < found->id)) found = j;
    }
    return found;
}

std::optional<JobInfo> jobInfo(int jobId, bool* notFound, int timeoutMs) {
    if (notFound) *notFound = false;
    Connection http = connectTo(timeoutMs);
    if (!http) return std::nullopt;
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    ippAddStringf(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr,
                  "ipp://localhost/jobs/%d", jobId);
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  int(std::size(kJobAttributes)), nullptr, kJobAttributes);
    ipp_status_t status = IPP_STATUS_OK;
    Ipp reply = send(http.get(), request, "/", &status);
    if (!reply) {
        if (notFound) *notFound = status == IPP_STATUS_ERROR_NOT_FOUND;
        return std::nullopt;
    }
    const QList<JobInfo> jobs = jobsOf(reply.get());
    if (jobs.isEmpty()) {
        if (notFound) *notFound = true;
        return std::nullopt;
    }
    return jobs.first();
}

JobOutcome waitForJob(const QString& queue, int jobId, int waitMs, const std::atomic<bool>* stop,
                      int pollMs) {
    JobOutcome outcome;
    outcome.jobId = jobId;
    QDeadlineTimer deadline(std::max(0, waitMs));
    for (;;) {
        bool notFound = false;
        const auto job =
            jobInfo(jobId, &notFound,
                    int(std::clamp<qint64>(deadline.remainingTime(), 1000, kCupsRequestTimeoutMs)));
        if (!job) {
            outcome.kind = notFound ? JobOutcome::NotFound : JobOutcome::Unreachable;
            outcome.reason =
                notFound
                    ? QStringLiteral("the queue no longer knows job %1").arg(jobId)
                    : QStringLiteral("the printer service %1 does not answer").arg(serverName());
            return outcome;
        }
        if (job->state == JobInfo::Completed) {
            outcome.kind = JobOutcome::Completed;
            return outcome;
        }
        // A job the server stopped (a filter failed) stays in the queue, but nothing prints it
        // until someone restarts it by hand: for the run it has failed.
        if (job->ended() || job->state == JobInfo::Stopped) {
            outcome.kind = JobOutcome::Failed;
            outcome.reason = job->message;
            if (outcome.reason.isEmpty()) {
                const auto list = queues();
                if (list) {
                    for (const QueueInfo& q : *list)
                        if (q.name == queue) outcome.reason = q.message;
                }
            }
            if (outcome.reason.isEmpty()) outcome.reason = stateName(job->state);
            return outcome;
        }
        if (deadline.hasExpired() || (stop && stop->load())) {
            outcome.kind = JobOutcome::TimedOut;
            outcome.reason = job->message;
            return outcome;
        }
        QThread::msleep(
            std::clamp<qint64>(std::min<qint64>(pollMs, deadline.remainingTime()), 1, pollMs));
    }
}

bool cancelJob(int jobId, int timeoutMs) {
    Connection http = connectTo(timeoutMs);
    if (!http) return false;
    return cupsCancelJob2(http.get(), nullptr, jobId, 0) == IPP_STATUS_OK;
}

}  // namespace bb::cups
