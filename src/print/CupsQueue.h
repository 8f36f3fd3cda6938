// The printer queues of the CUPS server (the one CUPS_SERVER names, else the system's): their
// state, whether the server answers at all, and the job that a print run submitted. Qt hands
// a job to CUPS without telling its id, so a run notes the highest job id before it prints
// (highestJobId) and looks for the newer job with its title afterwards (findJob); waitForJob
// then follows that job, bounded, until it has left the queue.
//
// Every call opens its own connection with a time limit, so no call hangs on a server that
// is gone or does not answer; all calls are safe from any thread.
#pragma once

#include <QList>
#include <QString>

#include <atomic>
#include <functional>
#include <optional>

namespace bb {

// How long one request to the server may take before it counts as not answering.
inline constexpr int kCupsRequestTimeoutMs = 5000;
// How long a print run waits by default for its job to leave the queue.
inline constexpr int kJobWaitDefaultSeconds = 120;

enum class QueueState { Idle, Processing, Stopped };

struct QueueInfo {
    QString name;
    QueueState state = QueueState::Idle;
    bool accepting = true;
    QString message;  // printer-state-message, often empty
};

// A job as the server reports it.
struct JobInfo {
    int id = 0;
    QString title;
    enum State { Pending, Held, Processing, Stopped, Canceled, Aborted, Completed } state = Pending;
    QString message;  // job-printer-state-message or job-state-message
    bool ended() const { return state == Canceled || state == Aborted || state == Completed; }
};

// How a followed job ended.
struct JobOutcome {
    enum Kind {
        Completed,    // the queue printed it
        Failed,       // aborted or cancelled; `reason` says why
        TimedOut,     // still in the queue when the wait ended
        Unreachable,  // the server stopped answering
        NotFound,     // no such job (any more)
    } kind = NotFound;
    int jobId = 0;
    QString reason;
};

// How the service met a question: it answered, it took the connection and then said nothing
// within the time limit (a hung server), or no connection could be made at all (nothing
// listens there, or the host cannot be reached).
enum class ServiceState { Answering, Silent, Unreachable };

// What the service said about its printers.
struct PrintService {
    ServiceState state = ServiceState::Unreachable;
    QList<QueueInfo> queues;
    QString defaultPrinter;  // the user's or the server's default; empty when there is none
    bool answers() const { return state == ServiceState::Answering; }
};

namespace cups {

// The server's address as clients see it (a socket path or host name), for messages.
QString serverName();

// True when the server accepts a connection within `timeoutMs`.
bool serverReachable(int timeoutMs = kCupsRequestTimeoutMs);

// The server's queues; nullopt when it does not answer.
std::optional<QList<QueueInfo>> queues(int timeoutMs = kCupsRequestTimeoutMs);

// Asks the service for its queues and the default printer; each request waits `timeoutMs` at
// most.
PrintService askService(int timeoutMs = kCupsRequestTimeoutMs);

// What is wrong with the service, for brisella-cli's messages ("the printer service (CUPS) at
// 127.0.0.1:631 does not answer (no reply within 5 seconds)"); empty when it answers.
QString serviceProblem(ServiceState state, int timeoutMs = kCupsRequestTimeoutMs);

// Runs `f` with this thread's CUPS client pointed at a socket that does not exist, so that
// whatever `f` asks the service fails at once instead of waiting. Qt's QPrinter constructor
// asks the service for its default printer even for a printer that only writes PDF files.
void withoutService(const std::function<void()>& f);

// Ready for a job: the queue neither stopped nor refusing jobs.
bool acceptsJobs(const QueueInfo& queue);

// The highest job id the queue has ever shown (finished jobs included); 0 when it has none,
// nullopt when the server does not answer.
std::optional<int> highestJobId(const QString& queue, int timeoutMs = kCupsRequestTimeoutMs);

// The oldest job of `queue` newer than `afterId` whose title is `title`; nullopt when there is
// none or the server does not answer.
std::optional<JobInfo> findJob(const QString& queue, int afterId, const QString& title,
                               int timeoutMs = kCupsRequestTimeoutMs);

// The job's current state; nullopt when the server does not answer or knows no such job
// (`notFound` tells which).
std::optional<JobInfo> jobInfo(int jobId, bool* notFound = nullptr,
                               int timeoutMs = kCupsRequestTimeoutMs);

// Follows the job until it has left the queue or the server stopped it (a failed filter),
// `waitMs` at most, polling every `pollMs`.
// A set `stop` ends the wait early (reported as TimedOut). The reason of a failed job is the
// job's message, else the queue's, else the state's name.
JobOutcome waitForJob(const QString& queue, int jobId, int waitMs,
                      const std::atomic<bool>* stop = nullptr, int pollMs = 100);

// Cancels the job; false when the server refused or did not answer.
bool cancelJob(int jobId, int timeoutMs = kCupsRequestTimeoutMs);

}  // namespace cups
}  // namespace bb
