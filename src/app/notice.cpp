// Connection failure notices, turned into tray balloons on the main thread.
#include "app/notice.h"

#include "app/resource_ids.h"
#include "settings/settings.h"
#include "shell/tray.h"
#include "util/text.h"

namespace {

struct NoticeText {
    int code;
    const wchar_t* text;
};

const NoticeText kNotices[] = {
    {NOTICE_SOCKET_FAILED, L"Error!\nCould not create socket."},
    {NOTICE_CONNECT_FAILED, L"Error!\nCould not connect to IP."},
    {NOTICE_CERT_REFUSED, L"Error!\nServer certificate not trusted."},
};

}  // namespace

void ShowNetNotice(WindowHandle window, std::intptr_t lParam) {
    if (BalloonsOn()) {
        PlayBeep(BEEP_ERROR);
        TrayRequest.Icon = IdleIcon;
        TrayRequest.Command = "modify";
        ProductText(TrayRequest.Tip, L" \u25CF ERROR");
        TrayRequest.BalloonKind = "error";
        ProductText(TrayRequest.BalloonTitle, L"");
        // An unknown code gets an empty text, so no balloon shows for it.
        TrayRequest.BalloonText[0] = L'\0';
        for (const NoticeText& n : kNotices)
            if (n.code == lParam) CopyText(TrayRequest.BalloonText, n.text);
        TrayNotify();
    }
    // Without a socket no attempt can succeed, so the automatic cycle stops.
    if (lParam == NOTICE_SOCKET_FAILED) SendWindowMessage(window, MESSAGE_COMMAND, IDC_STOP, 0);
}
