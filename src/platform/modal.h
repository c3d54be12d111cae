#pragma once
// The one seam through which every modal interaction of the program passes:
// plain message boxes, the general error dialog, the report preview and the
// printer dialog. The window installs the seam that shows real dialogs; tests
// install one that records what was shown and answers it, so nothing modal
// ever blocks a test. With no seam installed, messages are written to the
// standard error stream and questions get their default answer.
//
// All functions are to be called from the main (user-interface) thread only.

#include "platform/errors.h"

#include <QString>

namespace velix {

enum class MessageIcon { None, Information, Warning, Critical };

class ModalSeam {
public:
    virtual ~ModalSeam() = default;

    /// A plain message box with an OK button; returns when the user closed it.
    virtual void showMessage(const QString &text, MessageIcon icon = MessageIcon::None) = 0;

    /// The general error handler's detailed error dialog.
    virtual void showError(const ErrorReport &report) = 0;
};

/// The seam in force (never null).
ModalSeam &modal();

/// Installs a seam; nullptr restores the default one. Returns the previous seam
/// (nullptr when it was the default).
ModalSeam *setModal(ModalSeam *seam);

/// Short form used everywhere a Part shows a plain message box.
inline void ShowMessage(const QString &text) { modal().showMessage(text); }

} // namespace velix
