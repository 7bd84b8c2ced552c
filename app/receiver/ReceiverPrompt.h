#pragma once
// The link's questions (no answer, rejected packets) asked through the program's dialogs, so a
// scripted test answers them and an unattended run takes the safe answer.
#include "ui/Dialogs.h"
#include "domain/Settings.h"
#include "navlet/Navlet.h"
#include "navlet/NavletPrompt.h"

namespace aero {

Buttons toButtons(navlet::PromptButtons buttons);
navlet::PromptAnswer toPromptAnswer(Answer answer, navlet::PromptButtons asked);

// `dialogs` must outlive the control the prompt is handed to.
navlet::LinkPrompt receiverPrompt(Dialogs& dialogs);

// Both transfer windows start alike: open the port of setting NavletPort, reset the link, stop
// position packets and ask the receiver who it is.
void openLinkAndAskProduct(navlet::Navlet& navlet, const Settings& settings);

} // namespace aero
