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

// One request of the round; what it raised is turned into a step here, the
// one catch site of the worker's thread. The failure's text is formed on
// the thread that met it.
TransferRound::Step Attempt(TransferRound& round, int attempt)
{
    try {
        return round.Attempt(attempt);
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
    const std::unique_ptr<std::shared_ptr<TransferState>> transfer(
        static_cast<std::shared_ptr<TransferState>*>(argument));
    TransferRound round(**transfer);
    TransferRound::Step step = TransferRound::Step::Broken;
    for (int attempt = 1; step == TransferRound::Step::Broken && attempt <= kTries; ++attempt) {
        if (attempt > 1 && !round.WaitBeforeTry(attempt))
            return 0;
        step = Attempt(round, attempt);
    }
    round.Finish(step);
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
