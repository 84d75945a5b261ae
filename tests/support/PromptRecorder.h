#pragma once
// CPromptRecorder: while alive, takes every message and question of the program in place of the
// message boxes, records what would have been shown and answers as the test tells it.

#include <QStringList>

#include <vector>

#include "util/UserPrompt.h"

class CPromptRecorder final : public IUserPrompt {
public:
    CPromptRecorder() : m_override(*this) {}

    PromptAnswer Ask(const PromptMessage& message) override
    {
        shown.push_back(message);
        // A box answers only with one of its own buttons: an answer it does not offer presses its first.
        if (Offers(message.buttons, answer))
            return answer;
        return message.buttons == PromptButtons::YesNoCancel ? PromptAnswer::Yes : PromptAnswer::Ok;
    }
    void Beep() override { ++beeps; }

    // The texts of everything shown; of the plain messages (OK only); of the questions.
    QStringList Texts() const { return TextsWhere([](const PromptMessage&) { return true; }); }
    QStringList Messages() const
    {
        return TextsWhere([](const PromptMessage& m) { return m.buttons == PromptButtons::Ok; });
    }
    QStringList Questions() const
    {
        return TextsWhere([](const PromptMessage& m) { return m.buttons != PromptButtons::Ok; });
    }

    std::vector<PromptMessage> shown;
    PromptAnswer answer = PromptAnswer::Ok;  // the answer to every question
    int beeps = 0;

private:
    template <typename Predicate>
    QStringList TextsWhere(Predicate keep) const
    {
        QStringList texts;
        for (const PromptMessage& m : shown)
            if (keep(m))
                texts.append(m.text);
        return texts;
    }
    static bool Offers(PromptButtons buttons, PromptAnswer a)
    {
        switch (buttons) {
        case PromptButtons::Ok: return a == PromptAnswer::Ok;
        case PromptButtons::OkCancel: return a == PromptAnswer::Ok || a == PromptAnswer::Cancel;
        case PromptButtons::YesNoCancel: return a != PromptAnswer::Ok;
        }
        return false;
    }

    CUserPromptOverride m_override;
};
