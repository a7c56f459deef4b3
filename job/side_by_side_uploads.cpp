#include "job/side_by_side_uploads.h"

#include <algorithm>
#include <condition_variable>
#include <memory>
#include <optional>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "job/session_progress.h"
#include "market/job_context.h"
#include "market/picture_upload.h"
#include "market/shop_session.h"

namespace kesto {

SideBySideUploads::SideBySideUploads(ShopSession& session) : session_(session) {}

void SideBySideUploads::Post(ProgressMessage message) {
    const std::lock_guard lock(postLock_);
    PostProgress(session_, std::move(message));
}

void SideBySideUploads::PostPictureDone(int count, std::string picture) {
    const std::lock_guard lock(postLock_);
    PostProgress(session_, {kPictureProgress, ++picturesDone_, count, std::move(picture)});
}

std::size_t SideBySideUploads::Run(std::size_t count,
                                   const std::function<PictureWork(std::size_t)>& start) {
    if (session_.parallelUploads > 1 && count > 1) {
        return RunSideBySide(count, start);
    }
    for (std::size_t i = 0; i < count; ++i) {
        if (!start(i)(session_.context())) {
            return i;
        }
    }
    return count;
}

std::size_t SideBySideUploads::RunSideBySide(std::size_t count,
                                             const std::function<PictureWork(std::size_t)>& start) {
    JobContext& job = session_.context();
    // The uploads only read the album state this sets, so they may share the session.
    const bool ready = session_.albumReady && !session_.uploadAddress.empty();
    if (!ready && ReadyAlbumUpload(session_) <= 0) {
        return 0;
    }
    struct Started {
        std::size_t index = 0;
        PictureWork work;
    };
    std::mutex lock;  // guards the job's context and everything below
    std::condition_variable changed;
    std::optional<Started> handedOver;
    std::size_t running = 0;  // handed over or at work
    std::size_t firstFailed = count;
    bool allStarted = false;
    const auto worker = [&] {
        for (;;) {
            Started started;
            JobContext context;
            {
                std::unique_lock held(lock);
                changed.wait(held, [&] { return handedOver || allStarted; });
                if (!handedOver) {
                    return;
                }
                started = std::move(*handedOver);
                handedOver.reset();
                StartBeside(job, context);
            }
            changed.notify_all();
            // The job's callbacks post progress lines: in turn with the uploads' own.
            context.transactionPasswordMet = [this, &job] {
                const std::lock_guard posting(postLock_);
                if (job.transactionPasswordMet) {
                    job.transactionPasswordMet();
                }
            };
            context.rateLimitWaitMet = [this, &job](int seconds) {
                const std::lock_guard posting(postLock_);
                if (job.rateLimitWaitMet) {
                    job.rateLimitWaitMet(seconds);
                }
            };
            const bool done = started.work(context);
            {
                const std::lock_guard held(lock);
                const bool first = !done && started.index < firstFailed;
                if (first) {
                    firstFailed = started.index;
                }
                FoldBack(job, context, first);
                --running;
            }
            changed.notify_all();
        }
    };
    std::vector<std::jthread> workers;
    // However the loop below ends, the workers finish what they were handed and end before
    // anything they use goes (workers are joined after this, declared later, has run).
    struct Closing {
        std::mutex& lock;
        std::condition_variable& changed;
        bool& allStarted;
        ~Closing() {
            {
                const std::lock_guard held(lock);
                allStarted = true;
            }
            changed.notify_all();
        }
    };
    const Closing closing{lock, changed, allStarted};
    for (int i = 0; i < session_.parallelUploads && workers.size() < count; ++i) {
        try {
            workers.emplace_back(worker);
        } catch (const std::system_error&) {
            break;  // no more threads to be had: fewer at once
        }
    }
    const std::size_t threads = std::max<std::size_t>(workers.size(), 1);
    for (std::size_t i = 0; i < count; ++i) {
        {
            std::unique_lock held(lock);
            changed.wait(held,
                         [&] { return firstFailed < count || (!handedOver && running < threads); });
            if (firstFailed < count) {
                break;
            }
            ++running;
        }
        PictureWork work = start(i);
        if (workers.empty()) {
            // Not one thread: the upload runs here, with the job's context.
            const bool done = work(job);
            const std::lock_guard held(lock);
            --running;
            if (!done) {
                firstFailed = i;
            }
            continue;
        }
        {
            const std::lock_guard held(lock);
            handedOver = Started{i, std::move(work)};
        }
        changed.notify_all();
    }
    std::unique_lock held(lock);
    changed.wait(held, [&] { return running == 0; });
    return firstFailed;
}

}  // namespace kesto
