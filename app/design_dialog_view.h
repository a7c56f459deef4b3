#pragma once
// What the desktop program asks of the window that shows it, whichever toolkit draws it: the
// dialog's controls, its progress lines, a Yes/No question, the login timer and the end of the
// dialog. The Win32 dialog and the GTK window implement it; what happens when is decided in
// DesignProgram and DesignDialog.

#include <string>

namespace kesto {

enum class Area { ShopSign, MainPage, Categories };

class DesignDialogView {
  public:
    virtual ~DesignDialogView() = default;

    virtual void AddTemplate(const std::string& name) = 0;
    virtual void SelectTemplate(int index) = 0;
    virtual int SelectedTemplate() const = 0;  // -1 when none is selected
    virtual void SetAreaChecked(Area area, bool checked) = 0;
    virtual bool IsAreaChecked(Area area) const = 0;
    virtual void EnableUpload(bool enabled) = 0;
    virtual void AddProgressLine(const std::string& line) = 0;
    // A Yes/No question with a warning icon; true for Yes.
    virtual bool AskYesNo(const std::string& text, const std::string& caption) = 0;
    // (Re)starts the login timer with the given period, or stops it; each tick goes to the
    // program's OnLoginTimer.
    virtual void StartLoginTimer(unsigned periodMilliseconds) = 0;
    virtual void StopLoginTimer() = 0;
    // Ends the dialog with the code (1 for Exit, 0 for the close command): the window goes.
    virtual void End(int code) = 0;
};

}  // namespace kesto
