#pragma once
// The web link at the bottom of the main dialog: its text underlined in the link colour (the
// visited colour after a successful open, grey while disabled), a hand pointer over the text
// only, the target as tooltip, and the target opened in the default browser on a click or on
// Enter or Space while it has the focus.

#include <gtk/gtk.h>

#include <functional>
#include <string>

namespace kesto::gtk {

struct LinkRgb {
    unsigned red;
    unsigned green;
    unsigned blue;
};

inline constexpr LinkRgb kLinkColour{0, 0, 255};
inline constexpr LinkRgb kVisitedColour{128, 0, 128};
inline constexpr LinkRgb kDisabledColour{128, 128, 128};

class CHyperLink {
  public:
    // open: starts the default program for an address; true when it did.
    explicit CHyperLink(std::function<bool(const std::string&)> open);
    CHyperLink(const CHyperLink&) = delete;
    CHyperLink& operator=(const CHyperLink&) = delete;

    // The link's widget, sized to its text; its container owns it.
    GtkWidget* widget() const { return box_; }

    void SetLinkLabel(const std::string& label);
    void SetLinkTarget(const std::string& target);

    // Opens the target; on success the link shows as visited from then on.
    void Navigate();

    bool visited() const { return visited_; }
    // The colour the text is drawn in now.
    LinkRgb CurrentColour() const;

  private:
    static gboolean OnButtonPress(GtkWidget* widget, GdkEventButton* event, gpointer self);
    static gboolean OnButtonRelease(GtkWidget* widget, GdkEventButton* event, gpointer self);
    static gboolean OnKeyPress(GtkWidget* widget, GdkEventKey* event, gpointer self);
    static void OnRealize(GtkWidget* widget, gpointer self);
    static gboolean OnDrawFocus(GtkWidget* widget, cairo_t* cairo, gpointer self);
    static void OnStateFlagsChanged(GtkWidget* widget, GtkStateFlags previous, gpointer self);

    // The text shown: the label, else the target.
    std::string ShownText() const;
    void Restyle();

    std::function<bool(const std::string&)> open_;
    GtkWidget* box_;
    GtkWidget* text_;
    std::string label_;
    std::string target_;
    bool pressed_ = false;
    bool visited_ = false;
};

}  // namespace kesto::gtk
