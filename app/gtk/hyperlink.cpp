#include "app/gtk/hyperlink.h"

#include <utility>

namespace kesto::gtk {

namespace {

template <typename Handler>
void Connect(gpointer instance, const char* signal, Handler handler, gpointer data) {
    g_signal_connect(instance, signal, reinterpret_cast<GCallback>(handler), data);
}

template <typename Handler>
void ConnectAfter(gpointer instance, const char* signal, Handler handler, gpointer data) {
    g_signal_connect_after(instance, signal, reinterpret_cast<GCallback>(handler), data);
}

guint16 To16Bits(unsigned component) {
    return static_cast<guint16>(component * 257U);
}

bool Inside(GtkWidget* widget, double x, double y) {
    GtkAllocation area;
    gtk_widget_get_allocation(widget, &area);
    return x >= 0 && y >= 0 && x < area.width && y < area.height;
}

}  // namespace

CHyperLink::CHyperLink(std::function<bool(const std::string&)> open)
    : open_(std::move(open)), box_(gtk_event_box_new()), text_(gtk_label_new("")) {
    gtk_label_set_xalign(GTK_LABEL(text_), 0.0F);
    gtk_container_add(GTK_CONTAINER(box_), text_);
    gtk_widget_set_can_focus(box_, TRUE);
    gtk_widget_add_events(box_, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK |
                                    GDK_KEY_PRESS_MASK | GDK_FOCUS_CHANGE_MASK);
    Connect(box_, "button-press-event", &CHyperLink::OnButtonPress, this);
    Connect(box_, "button-release-event", &CHyperLink::OnButtonRelease, this);
    Connect(box_, "key-press-event", &CHyperLink::OnKeyPress, this);
    Connect(box_, "realize", &CHyperLink::OnRealize, this);
    ConnectAfter(box_, "draw", &CHyperLink::OnDrawFocus, this);
    Connect(box_, "state-flags-changed", &CHyperLink::OnStateFlagsChanged, this);
    Restyle();
}

void CHyperLink::SetLinkLabel(const std::string& label) {
    label_ = label;
    Restyle();
}

void CHyperLink::SetLinkTarget(const std::string& target) {
    target_ = target;
    gtk_widget_set_tooltip_text(box_, target_.empty() ? nullptr : target_.c_str());
    Restyle();
}

void CHyperLink::Navigate() {
    if (target_.empty() || !open_ || !open_(target_)) {
        return;  // a failed open changes nothing
    }
    visited_ = true;
    Restyle();
}

LinkRgb CHyperLink::CurrentColour() const {
    if (!gtk_widget_is_sensitive(box_)) {
        return kDisabledColour;
    }
    return visited_ ? kVisitedColour : kLinkColour;
}

std::string CHyperLink::ShownText() const {
    return label_.empty() ? target_ : label_;
}

void CHyperLink::Restyle() {
    const LinkRgb colour = CurrentColour();
    PangoAttrList* attributes = pango_attr_list_new();
    pango_attr_list_insert(attributes, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
    pango_attr_list_insert(attributes,
                           pango_attr_foreground_new(To16Bits(colour.red), To16Bits(colour.green),
                                                     To16Bits(colour.blue)));
    gtk_label_set_attributes(GTK_LABEL(text_), attributes);
    pango_attr_list_unref(attributes);
    gtk_label_set_text(GTK_LABEL(text_), ShownText().c_str());
}

gboolean CHyperLink::OnButtonPress(GtkWidget* widget, GdkEventButton* event, gpointer self) {
    auto& link = *static_cast<CHyperLink*>(self);
    if (event->button != GDK_BUTTON_PRIMARY || event->type != GDK_BUTTON_PRESS ||
        !Inside(widget, event->x, event->y)) {
        return FALSE;
    }
    gtk_widget_grab_focus(widget);
    link.pressed_ = true;
    return TRUE;
}

gboolean CHyperLink::OnButtonRelease(GtkWidget* widget, GdkEventButton* event, gpointer self) {
    auto& link = *static_cast<CHyperLink*>(self);
    if (event->button != GDK_BUTTON_PRIMARY || !link.pressed_) {
        return FALSE;
    }
    link.pressed_ = false;
    // The press grabbed the pointer: a release outside the text opens nothing.
    if (Inside(widget, event->x, event->y)) {
        link.Navigate();
    }
    return TRUE;
}

gboolean CHyperLink::OnKeyPress(GtkWidget* /*widget*/, GdkEventKey* event, gpointer self) {
    switch (event->keyval) {
        case GDK_KEY_Return:
        case GDK_KEY_KP_Enter:
        case GDK_KEY_ISO_Enter:
        case GDK_KEY_space:
        case GDK_KEY_KP_Space:
            static_cast<CHyperLink*>(self)->Navigate();
            return TRUE;
        default:
            return FALSE;
    }
}

void CHyperLink::OnRealize(GtkWidget* widget, gpointer /*self*/) {
    // The box is exactly as large as its text, so the hand shows over the text only.
    GdkCursor* hand = gdk_cursor_new_from_name(gtk_widget_get_display(widget), "pointer");
    gdk_window_set_cursor(gtk_widget_get_window(widget), hand);
    if (hand != nullptr) {
        g_object_unref(hand);
    }
}

gboolean CHyperLink::OnDrawFocus(GtkWidget* widget, cairo_t* cairo, gpointer /*self*/) {
    if (gtk_widget_has_focus(widget)) {
        gtk_render_focus(gtk_widget_get_style_context(widget), cairo, 0, 0,
                         gtk_widget_get_allocated_width(widget),
                         gtk_widget_get_allocated_height(widget));
    }
    return FALSE;
}

void CHyperLink::OnStateFlagsChanged(GtkWidget* /*widget*/, GtkStateFlags /*previous*/,
                                     gpointer self) {
    static_cast<CHyperLink*>(self)->Restyle();
}

}  // namespace kesto::gtk
