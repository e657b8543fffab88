// A message of the links (LinkMessage: text, caption, icon, topmost) shown through the prompt service.
#pragma once

#include "ui/prompts.h"
#include "link/link_message.h"

namespace talvir {

inline PromptIcon promptIconOf(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::None: return PromptIcon::None;
    case MessageIcon::Information: return PromptIcon::Information;
    case MessageIcon::Warning: return PromptIcon::Warning;
    case MessageIcon::Error: return PromptIcon::Error;
    }
    return PromptIcon::None;
}

// An OK box; nothing is shown for an empty message.
inline void showLinkMessage(PromptService &prompts, const LinkMessage &m)
{
    if (m.isEmpty())
        return;
    prompts.message(m.caption, m.text, promptIconOf(m.icon), PromptButtons::Ok, PromptAnswer::None, m.topmost);
}

} // namespace talvir
