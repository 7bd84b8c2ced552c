#include "receiver/ReceiverPrompt.h"

namespace aero {

Buttons toButtons(navlet::PromptButtons buttons)
{
    switch (buttons) {
    case navlet::PromptButtons::Ok: return Buttons::Ok;
    case navlet::PromptButtons::RetryCancel: return Buttons::RetryCancel;
    case navlet::PromptButtons::AbortRetryIgnore: return Buttons::AbortRetryIgnore;
    }
    return Buttons::Ok;
}

navlet::PromptAnswer toPromptAnswer(Answer answer, navlet::PromptButtons asked)
{
    switch (answer) {
    case Answer::Ok: return navlet::PromptAnswer::Ok;
    case Answer::Retry: return navlet::PromptAnswer::Retry;
    case Answer::Cancel: return navlet::PromptAnswer::Cancel;
    case Answer::Abort: return navlet::PromptAnswer::Abort;
    case Answer::Ignore: return navlet::PromptAnswer::Ignore;
    case Answer::Yes:
    case Answer::No: break;   // not a button of these questions
    }
    return navlet::safeAnswer(asked);
}

navlet::LinkPrompt receiverPrompt(Dialogs& dialogs)
{
    return [&dialogs](const QString& text, navlet::PromptButtons buttons) {
        return toPromptAnswer(dialogs.message(text, Icon::None, toButtons(buttons)), buttons);
    };
}

void openLinkAndAskProduct(navlet::Navlet& navlet, const Settings& settings)
{
    navlet.setPort(static_cast<qint16>(settings.number(QStringLiteral("NavletPort"))));
    navlet.PortOpen();
    navlet.Reset();
    navlet.Pvt_Data_Stop();
    navlet.Request_Product_Data();
}

} // namespace aero
