#include "transfer/download_worker.h"

#include "framework/error_message.h"
#include "framework/framework_resource.h"
#include "framework/thread.h"
#include "framework/wide_text.h"
#include "transfer/continuation.h"
#include "transfer/transfer_round.h"
#include "transfer/web/internet_exception.h"

#include <new>

namespace {

std::u16string TextOf(const CException& error)
{
    return ToUtf16(ErrorMessageText(error, AFX_IDP_INTERNAL_FAILURE));
}

// Runs one step of the round: what it raised is turned into a step here,
// the one catch site of the worker's thread, as a failure of the round.
// The failure's text is formed on the thread that met it.
template <typename Action>
TransferRound::Step Guarded(TransferRound& round, Action action)
{
    try {
        return action();
    } catch (const CInternetException& error) {
        // A password the user did not give is an answer that asking again
        // would only repeat.
        return round.Failed(TextOf(error), error.m_dwError != ERROR_INTERNET_INCORRECT_PASSWORD);
    } catch (const CException& error) {
        return round.Failed(TextOf(error), false);
    } catch (const std::bad_alloc&) {
        return round.Failed(TextOf(CMemoryException()), false);
    } catch (...) {
        return round.Failed(TextOf(CException()), false);
    }
}

unsigned __stdcall DownloadWorker(void* argument)
{
    using Step = TransferRound::Step;
    const std::unique_ptr<std::shared_ptr<TransferState>> transfer(
        static_cast<std::shared_ptr<TransferState>*>(argument));
    TransferRound round(**transfer);
    Step step = Step::Broken;
    for (int attempt = 1; step == Step::Broken && attempt <= kTries; ++attempt) {
        step = Guarded(round, [&] {
            return attempt > 1 && !round.WaitBeforeTry(attempt) ? Step::Stopped : round.Attempt(attempt);
        });
    }
    // A finish that raised ends once more, with its failure, unless it got
    // as far as ending the transfer, after which finishing does nothing.
    for (int finish = 0; finish < 2 && step != Step::Stopped; ++finish) {
        step = Guarded(round, [&] {
            round.Finish(step);
            return Step::Stopped;
        });
    }
    return 0;
}

// Beside the worker, while its read may wait on a silent server: keeps the
// record up with the bytes. Raises nothing.
unsigned __stdcall RecordKeeper(void* argument)
{
    const std::unique_ptr<std::shared_ptr<TransferState>> transfer(
        static_cast<std::shared_ptr<TransferState>*>(argument));
    (*transfer)->KeepRecordThroughStalls();
    return 0;
}

// Starts procedure on a thread of its own with a reference to transfer.
UniqueHandle StartWith(unsigned(__stdcall* procedure)(void*), std::shared_ptr<TransferState> transfer)
{
    auto argument = std::make_unique<std::shared_ptr<TransferState>>(std::move(transfer));
    UniqueHandle thread = AfxBeginThread(procedure, argument.get());
    if (thread)
        argument.release();
    return thread;
}

}  // namespace

UniqueHandle StartDownloadWorker(std::shared_ptr<TransferState> transfer)
{
    UniqueHandle worker = StartWith(&DownloadWorker, transfer);
    // The keeper ends with the transfer; without it, the record follows
    // the bytes only while they flow.
    if (worker)
        StartWith(&RecordKeeper, std::move(transfer));
    return worker;
}
