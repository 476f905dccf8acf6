// Calls, frames, package instances and error stacks.
#include "localdb/plsql/plsqlNodes.h"

#include "localdb/system/errors.h"

#include <pthread.h>

#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>

namespace localdb::plsql {
namespace {

// How deep the C++ stack may grow under PL/SQL calls: a margin is kept for the SQL a call may
// still run, whatever thread runs the session.
struct StackLimit {
    char *low = nullptr;
    StackLimit() {
        pthread_attr_t attr;
        if (pthread_getattr_np(pthread_self(), &attr) == 0) {
            void *addr = nullptr;
            size_t size = 0;
            if (pthread_attr_getstack(&attr, &addr, &size) == 0 && addr)
                low = static_cast<char *>(addr) + std::min<size_t>(size / 4, 512 * 1024);
            pthread_attr_destroy(&attr);
        }
    }
};

bool stackNearlyFull() {
    thread_local StackLimit limit;
    char here;
    return limit.low && &here < limit.low;
}

// Recursion deeper than the caller's stack allows (a few thousand levels on an ordinary thread)
// goes on in one helper thread with a stack of this size, about a quarter of a million levels;
// past that the call ends in STORAGE_ERROR, as Oracle's does when the session's memory runs out.
// The pages are taken only as deep calls touch them.
// AddressSanitizer cannot follow an exception thrown on a stack of more than 64 MB and then
// reports overflows that are not there, so a sanitized build keeps a smaller one.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KDB_ADDRESS_SANITIZER 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(KDB_ADDRESS_SANITIZER)
constexpr size_t kDeepStackBytes = size_t(48) << 20;
#else
constexpr size_t kDeepStackBytes = size_t(256) << 20;
#endif
constexpr int kMaxStackExtensions = 1;

Datum callOnDeepStack(Context &ctx, const Subprogram &sub, std::vector<Datum> &args, Frame *staticLink) {
    if (ctx.state.stackExtensions >= kMaxStackExtensions)
        raiseCode(6500);
    // The helper runs the call while this thread waits, so the session is still used by one
    // thread at a time; errors travel back as they are. Meanwhile this thread keeps the
    // progress handler going, as it would for a long query: the window paints and Esc is heard.
    struct Job {
        Context &ctx;
        const Subprogram &sub;
        std::vector<Datum> &args;
        Frame *staticLink;
        Datum result;
        std::exception_ptr error;
        std::mutex mutex;
        std::condition_variable finished;
        bool done = false;
    } job{ctx, sub, args, staticLink, {}, {}, {}, {}, false};
    auto run = [](void *p) -> void * {
        auto &j = *static_cast<Job *>(p);
        try {
            j.result = callSubprogram(j.ctx, j.sub, j.args, j.staticLink);
        } catch (...) {
            j.error = std::current_exception();
        }
        std::lock_guard<std::mutex> lock(j.mutex);
        j.done = true;
        j.finished.notify_one();
        return nullptr;
    };
    pthread_attr_t attr;
    pthread_t thread;
    if (pthread_attr_init(&attr) != 0)
        raiseCode(6500);
    int rc = pthread_attr_setstacksize(&attr, kDeepStackBytes);
    if (rc == 0)
        rc = pthread_create(&thread, &attr, run, &job);
    pthread_attr_destroy(&attr);
    if (rc != 0)
        raiseCode(6500);
    ++ctx.state.stackExtensions;
    {
        std::unique_lock<std::mutex> lock(job.mutex);
        while (!job.finished.wait_for(lock, std::chrono::milliseconds(10), [&] { return job.done; })) {
            lock.unlock();
            if (ctx.core.progress)
                ctx.core.progress->answer();
            lock.lock();
        }
    }
    pthread_join(thread, nullptr);
    --ctx.state.stackExtensions;
    if (job.error)
        std::rethrow_exception(job.error);
    return std::move(job.result);
}

}  // namespace

SessionState &stateOf(SessionCore &core) {
    if (!core.plsql)
        core.plsql = std::make_shared<SessionState>();
    return *core.plsql;
}

Frame &packageFrame(Context &ctx, const PackageBody &package) {
    auto &instance = ctx.state.packages[package.owner + "." + package.name];
    if (!instance.frame || instance.stamp != package.stamp) {
        // State this session built under an earlier compilation is discarded, and the call that
        // finds out fails once; the next one starts afresh.
        const bool discarded =
            instance.frame && instance.initialised && !(instance.frame->slots.empty() && instance.frame->cursors.empty());
        const bool specChanged = instance.specStamp != package.specStamp;
        instance.frame = std::make_unique<Frame>();
        instance.frame->slots.resize(size_t(package.frameSize));
        instance.frame->cursors.resize(size_t(package.cursorCount));
        for (const auto &[slot, type] : package.slotTypes)
            instance.frame->slots[size_t(slot)] = initialValue(type);
        instance.stamp = package.stamp;
        instance.specStamp = package.specStamp;
        instance.initialised = false;
        if (discarded) {
            const std::string what = std::string(specChanged ? "package" : "package body") + " \"" + package.owner +
                                     "." + package.name + "\"";
            PlError e;
            e.code = 4068;
            e.message = messageOf(4068, "||");
            e.stack = {messageOf(4061, what), messageOf(4065, what),
                       messageOf(6508, "\"" + package.owner + "." + package.name + "\"")};
            throw e;
        }
    }
    Frame &frame = *instance.frame;
    if (!instance.initialised) {
        instance.initialised = true;
        static const Program anonymous;
        Frame *saved = ctx.frame;
        ctx.frame = &frame;
        try {
            for (const auto &[slot, value] : package.initialisers) {
                if (!value)
                    continue;
                PlType type;
                for (const auto &st : package.slotTypes)
                    if (st.first == slot)
                        type = st.second;
                frame.slots[size_t(slot)] = assignTo(type, value->eval(ctx), ctx.session());
            }
            if (package.initialisation)
                package.initialisation->exec(ctx);
        } catch (...) {
            ctx.frame = saved;
            throw;
        }
        ctx.frame = saved;
    }
    return frame;
}

Datum callSubprogram(Context &ctx, const Subprogram &sub, std::vector<Datum> &args, Frame *staticLink) {
    ctx.tick();  // runaway recursion is stopped as a runaway loop is
    if (stackNearlyFull())
        return callOnDeepStack(ctx, sub, args, staticLink);
    if (!sub.body) {
        const std::string name = "\"" + sub.program->owner + "." + sub.program->name + "\"";
        if (sub.program->bodyError) {
            PlError e;
            e.code = sub.program->bodyError;
            e.message = messageOf(e.code, "package body " + name);
            e.stack.push_back(messageOf(6508, name));
            throw e;
        }
        raiseCode(6508, name);
    }
    Frame frame;
    frame.slots.resize(size_t(sub.frameSize));
    if (sub.cursorCount)
        frame.cursors.resize(size_t(sub.cursorCount));
    frame.up = staticLink;
    frame.program = sub.program;
    frame.line = sub.line;
    for (size_t i = 0; i < sub.params.size(); ++i) {
        const Param &p = sub.params[i];
        frame.slots[size_t(p.slot)] =
            p.mode == 2 ? initialValue(p.type) : assignTo(p.type, std::move(args[i]), ctx.session());
    }
    Frame *saved = ctx.frame;
    ctx.frame = &frame;
    try {
        Flow f = sub.body->exec(ctx);
        if (sub.isFunction && f != Flow::Return)
            raiseCode(6503);
    } catch (PlError &e) {
        for (auto &c : frame.cursors)
            c.close();
        traceError(e, frame);
        ctx.frame = saved;
        throw;
    } catch (...) {
        for (auto &c : frame.cursors)
            c.close();
        ctx.frame = saved;
        throw;
    }
    for (auto &c : frame.cursors)
        c.close();
    ctx.frame = saved;
    for (size_t i = 0; i < sub.params.size(); ++i)
        if (sub.params[i].mode != 1)
            args[i] = std::move(frame.slots[size_t(sub.params[i].slot)]);
    if (sub.isFunction)
        return std::move(ctx.returnValue);
    return {};
}

void traceError(PlError &e, const Frame &frame) {
    // Deep recursion would make the stack longer than any reader wants: its start tells enough.
    if (e.stack.size() >= 32)
        return;
    std::string where;
    if (frame.program && !frame.program->type.empty())
        where = "\"" + frame.program->qualified() + "\", ";
    e.stack.push_back("ORA-06512: at " + where + "line " + std::to_string(frame.line));
}

std::string errorStackText(const PlError &e) {
    std::string text = e.exception && e.code == 1 ? messageOf(6510) : e.message;
    for (const auto &line : e.stack)
        text += "\n" + line;
    return text;
}

std::int64_t sqlCodeOf(const PlError &e) {
    if (e.exception && e.code == 1)
        return 1;
    if (e.code == 1403)
        return 100;
    return -std::int64_t(e.code);
}

std::string sqlErrmOf(const PlError &e) {
    if (e.exception && e.code == 1)
        return "User-Defined Exception";
    return e.message;
}

PlError fromEngineError(const Error &e) {
    PlError p;
    p.code = e.code();
    std::string text = e.what();
    // An error that already carries a stack (from a function called by the statement) keeps it.
    size_t nl = text.find('\n');
    p.message = text.substr(0, nl);
    while (nl != std::string::npos) {
        size_t next = text.find('\n', nl + 1);
        p.stack.push_back(text.substr(nl + 1, next == std::string::npos ? std::string::npos : next - nl - 1));
        nl = next;
    }
    return p;
}

}  // namespace localdb::plsql
