// The modal loop ends as soon as its dialog is ended, also when the end comes from a message that
// another thread or program sent while the loop waited and no input follows.
#include <gtest/gtest.h>

#include <atomic>

#include "platform/Dialog.h"

using namespace sona;

namespace {

constexpr UINT kEndFromOutside = WM_APP + 7;

// A dialog that ends with 7 when it is sent kEndFromOutside.
class EndableDialog : public Dialog {
public:
    EndableDialog() : Dialog(9998) {}
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == kEndFromOutside) {
            EndDialog(7);
            return 0;
        }
        return Dialog::WndProc(msg, wp, lp);
    }
};

struct Sender {
    EndableDialog* dialog = nullptr;
    HANDLE returned = nullptr;  // set by the dialog's thread once DoModal is back
    std::atomic<bool> rescued{false};
    std::atomic<bool> sent{false};
};

// Waits until the dialog is up and its thread idle in the loop, sends the end, then gives the
// loop five seconds to come back; a loop that is still waiting is woken so the test can go on.
DWORD WINAPI SendEnd(void* arg) {
    auto* s = (Sender*)arg;
    for (int i = 0; i < 1000 && !(s->dialog->hwnd && IsWindowVisible(s->dialog->hwnd)); i++) Sleep(10);
    HWND h = s->dialog->hwnd;
    if (!h) return 1;
    // Let the loop drain what showing the window queued (paint, activation) and block.
    Sleep(500);
    DWORD_PTR result = 0;
    SendMessageTimeoutA(h, kEndFromOutside, 0, 0, SMTO_NORMAL, 5000, &result);
    s->sent = true;
    if (WaitForSingleObject(s->returned, 5000) == WAIT_TIMEOUT) {
        s->rescued = true;
        PostMessageA(h, WM_NULL, 0, 0);
    }
    return 0;
}

EndableDialog* timerDialog = nullptr;

VOID CALLBACK EndFromTimer(HWND, UINT, UINT_PTR id, DWORD) {
    if (timerDialog && timerDialog->hwnd) {
        KillTimer(nullptr, id);
        timerDialog->EndDialog(IDCANCEL);
    }
}

}  // namespace

TEST(ModalLoop, ADialogEndedByAMessageFromAnotherThreadEndsWithoutFurtherInput) {
    EndableDialog dialog;
    Sender sender;
    sender.dialog = &dialog;
    sender.returned = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread = CreateThread(nullptr, 0, SendEnd, &sender, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    INT_PTR result = dialog.DoModal(nullptr);
    SetEvent(sender.returned);
    WaitForSingleObject(thread, 20000);
    CloseHandle(thread);
    CloseHandle(sender.returned);
    EXPECT_TRUE(sender.sent);
    EXPECT_EQ(result, 7);
    EXPECT_FALSE(sender.rescued) << "the loop waited for input after its dialog had ended";
}

TEST(ModalLoop, EndDialogInsideTheLoopStillEndsIt) {
    // Ended from a timer of its own thread: the ordinary way, which must keep working.
    EndableDialog dialog;
    timerDialog = &dialog;
    UINT_PTR timer = SetTimer(nullptr, 0, 50, EndFromTimer);
    EXPECT_EQ(dialog.DoModal(nullptr), IDCANCEL);
    KillTimer(nullptr, timer);
    timerDialog = nullptr;
}
