#include "util/UserPrompt.h"

#include <utility>

namespace {

// Set and read on the user-interface thread only, like the message boxes it stands in for.
IUserPrompt* g_override = nullptr;

}  // namespace

CUserPromptOverride::CUserPromptOverride(IUserPrompt& prompt) : m_previous(std::exchange(g_override, &prompt)) {}

CUserPromptOverride::~CUserPromptOverride()
{
    g_override = m_previous;
}

IUserPrompt* UserPromptOverride()
{
    return g_override;
}
