#pragma once
// The texts that the code puts together and a person reads: balloons, message
// boxes, the tooltip, key names, the Programs dialog's notes. Each has an id
// of resources/lang/TextIds.h and one line per language in
// resources/lang/<tag>.rc, the file that also holds that language's menu and
// dialogs; the program and the native tests read the same lines. A text
// takes its values as {1} ... {9}, in the order the language needs them.
// The support log stays English: a notification logs English() and shows
// Shown(), the text in the language Brelkin speaks.
#include <string>
#include <string_view>
#include <vector>

#include "engine/Language.h"
#include "platform/Notifier.h"
#include "resources/lang/TextIds.h"

namespace brelkin {

// The language of everything shown, chosen once at start-up (English until then).
void SetDisplayLanguage(Language language);
Language DisplayLanguage();

// The line of `id` in `language`, or the English one where that language has
// none; empty for an id of no text.
std::u16string_view TextLine(unsigned id, Language language);
// The line in the display language.
std::u16string Translate(unsigned id);

// A value put into a text: words as they stand (a path, a program's name) or
// another text, taken in the same language.
class TextArg {
public:
    TextArg(std::u16string words) : m_words(std::move(words)) {}
    TextArg(const char16_t* words) : m_words(words) {}
    static TextArg Translated(unsigned id) {
        TextArg arg(u"");
        arg.m_id = id;
        return arg;
    }
    // A program's file name inside a sentence, set off as the language sets
    // names off (Japanese: in 「」), where a translated phrase in its place is not.
    static TextArg FileName(std::u16string name) {
        TextArg arg(std::move(name));
        arg.m_id = IDS_PROGRAM_FILE_NAME;
        return arg;
    }
    std::u16string In(Language language) const;

private:
    unsigned m_id = 0;
    std::u16string m_words;
};

class Text {
public:
    Text() = default;
    explicit Text(unsigned id, std::vector<TextArg> args = {}) : m_id(id), m_args(std::move(args)) {}

    unsigned Id() const { return m_id; }
    bool Empty() const { return m_id == 0; }
    std::u16string In(Language language) const;
    std::u16string English() const { return In(Language::English); }
    std::u16string Shown() const { return In(DisplayLanguage()); }

private:
    unsigned m_id = 0;
    std::vector<TextArg> m_args;
};

// `line` with {n} replaced by values[n - 1]; a {n} without a value stays as it is.
std::u16string FormatText(std::u16string_view line, const std::vector<std::u16string>& values);

// Logs the English text and shows the translated one.
inline void Notify(INotifier& notifier, const Text& text) {
    notifier.Notify(text.English(), text.Shown());
}

}  // namespace brelkin
