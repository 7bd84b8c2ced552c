#pragma once
// The link asks its host what to do when the receiver stops answering or keeps rejecting
// packets. The library has no widgets: the host injects a prompt (the program shows a
// message box); without one the link takes the safe answer.
#include <QString>
#include <functional>

namespace navlet {

enum class PromptButtons { Ok, RetryCancel, AbortRetryIgnore };
enum class PromptAnswer { Ok, Retry, Cancel, Abort, Ignore };

using LinkPrompt = std::function<PromptAnswer(const QString& text, PromptButtons buttons)>;

// Cancel, Abort or Ok: stop rather than loop on a dead line.
inline PromptAnswer safeAnswer(PromptButtons buttons)
{
    switch (buttons) {
    case PromptButtons::Ok: return PromptAnswer::Ok;
    case PromptButtons::RetryCancel: return PromptAnswer::Cancel;
    case PromptButtons::AbortRetryIgnore: return PromptAnswer::Abort;
    }
    return PromptAnswer::Cancel;
}

namespace messages {
inline const QString UnableToCommunicate = QStringLiteral("Unable to communicate with GPS.");
inline const QString InvalidMessage = QStringLiteral("Invalid message received from GPS.");
inline const QString NoResponse = QStringLiteral(
    "No response from Navlet.\r\nClick Retry to resend last packet\r\nClick Cancel to reset.");
inline const QString ChecksumErrors = QStringLiteral(
    "There have been more than 50 check sum errors.\r\nVerify that your receiver is putting out check sums.");
} // namespace messages

} // namespace navlet
