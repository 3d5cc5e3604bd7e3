#pragma once

#include "OptionSet.h"

// The kinds of text field that the focus controller serves, each with the
// user operations that may take the keyboard focus away from such a field.
namespace KvFirstResponder {

// A single-line field.
struct TextField {
    struct ResignableUserOperations : OptionSet<ResignableUserOperations> {
        using OptionSet::OptionSet;

        // a left-button press in the window outside the field
        static const ResignableUserOperations mouseDownOutside;
        // the Return key released
        static const ResignableUserOperations returnKey;
        // the keypad Enter key released
        static const ResignableUserOperations enterKey;
        // the Escape key released
        static const ResignableUserOperations escapeKey;
        static const ResignableUserOperations all;
    };
};

// A multi-line editor: Return and Enter belong to the text.
struct TextEditor {
    struct ResignableUserOperations : OptionSet<ResignableUserOperations> {
        using OptionSet::OptionSet;

        static const ResignableUserOperations mouseDownOutside;
        static const ResignableUserOperations escapeKey;
        static const ResignableUserOperations all;
    };
};

using TextFieldOperations = TextField::ResignableUserOperations;
using TextEditorOperations = TextEditor::ResignableUserOperations;

inline constexpr TextFieldOperations TextFieldOperations::mouseDownOutside{1};
inline constexpr TextFieldOperations TextFieldOperations::returnKey{2};
inline constexpr TextFieldOperations TextFieldOperations::enterKey{4};
inline constexpr TextFieldOperations TextFieldOperations::escapeKey{8};
inline constexpr TextFieldOperations TextFieldOperations::all{15};

inline constexpr TextEditorOperations TextEditorOperations::mouseDownOutside{1};
inline constexpr TextEditorOperations TextEditorOperations::escapeKey{8};
inline constexpr TextEditorOperations TextEditorOperations::all{9};

} // namespace KvFirstResponder
