// The desktop's file dialog on GTK 3, belonging to the program's window, with the window kept drawn.
//
// GTK's own chooser dialog rather than GtkFileChooserNative: without a desktop portal the native
// one is that same dialog kept out of reach, and it cannot belong to a window GTK did not make
// (it takes its owner only as a GtkWindow); destroyed from outside it never answers, and it
// hides itself from inside the key press that chose a typed path, whose handling then goes on
// through a location entry already torn down ("gtk_widget_event: assertion
// 'WIDGET_REALIZED_FOR_EVENT (widget, event)' failed"). The portal's dialog could not be given an
// owner either: the program uses none.
#include "ui/host/gtk/dialog_names.h"
#include "ui/host/gtk/dialog_owner.h"
#include "ui/host/gtk/vanishing_windows.h"
#include "ui/host/native_file_dialog.h"

#include <gdk/gdkx.h>
#include <gtk/gtk.h>
#include <X11/Xlib.h>

#include <cstdio>
#include <memory>

namespace tarn::ui {
namespace {

// What runModal answers when the dialog ended without the user's answer: the window asked for it
// to close, or another X client destroyed its window.
constexpr int kEnded = GTK_RESPONSE_NONE;

// GTK's chooser looks at its selection again 150 ms after its name changed, from a timer that
// only its finalisation removes, and something inside GTK may still hold the chooser when the
// last reference here goes: the timer then runs on a destroyed chooser and GTK logs criticals.
// The chooser is destroyed a second later instead, by the main loop (during the next dialog),
// after any such timer has run.
gboolean destroyAndDrop(gpointer window) {
    gtk_widget_destroy(GTK_WIDGET(window));
    g_object_unref(window);
    return G_SOURCE_REMOVE;
}
struct Retire {
    void operator()(GtkWidget* window) const { g_timeout_add_seconds(1, destroyAndDrop, window); }
};
// For a window made here: GTK's own reference goes with the destroy, ours after it.
struct Destroy {
    void operator()(GtkWidget* window) const { destroyAndDrop(window); }
};
struct Free {
    void operator()(gchar* text) const { g_free(text); }
};
using GText = std::unique_ptr<gchar, Free>;

FileDialogResult failed(const char* what) {
    std::fprintf(stderr, "tarn-ui: %s failed\n", what);
    return FileDialogResult{FileDialogResult::failed, {}};
}

// GTK's chooser notes every chosen file in the desktop's list of recent files
// (recently-used.xbel), and the list writes itself out from the handler of its "changed" signal.
// The "gtk-recent-files-enabled" setting does not stop that: turned off, it makes the list write
// itself out empty, erasing what other programs noted there. The handler is replaced, for this
// process, by one that writes nothing: the program keeps nothing on disk but what the user saves,
// and the desktop's list stays as it was.
void writeNothing(GtkRecentManager*, gpointer) {}

void leaveRecentListAlone() {
    g_type_class_ref(GTK_TYPE_RECENT_MANAGER);  // its signals exist once its class does; kept for good
    g_signal_override_class_handler("changed", GTK_TYPE_RECENT_MANAGER, G_CALLBACK(writeNothing));
}

bool gtkStarted(unsigned long owner) {
    // Left to itself GTK sets the C locale from the environment, and numbers would then be
    // written with decimal commas into every document.
    static const bool localeKept = (gtk_disable_setlocale(), true);
    (void)localeKept;
    // A dialog can belong to an X window only on the same X server, also where GTK would rather
    // take a Wayland compositor of the same desktop.
    if (owner != 0) gdk_set_allowed_backends("x11");
    if (gtk_init_check(nullptr, nullptr) == FALSE) return false;
    static const bool recentListLeftAlone = (leaveRecentListAlone(), true);
    (void)recentListLeftAlone;
    return true;
}

struct Modal {
    const std::function<bool()>* keepDrawing = nullptr;
    int response = kEnded;
    bool answered = false;
    bool vanished = false;
    guint timer = 0;
};

void onResponse(GtkDialog*, int response, gpointer data) {
    auto* modal = static_cast<Modal*>(data);
    modal->response = response;
    modal->answered = true;
}

// Another client destroyed the dialog's window. Left to GDK, it would warn, then GTK would tear
// down a dialog it still took for shown, with criticals on the way; the dialog ends unanswered
// instead, and runModal destroys it while errors about its window are trapped.
GdkFilterReturn onXEvent(GdkXEvent* event, GdkEvent*, gpointer data) {
    const XEvent* x = static_cast<const XEvent*>(event);
    if (x->type != DestroyNotify || x->xdestroywindow.window != x->xdestroywindow.event) return GDK_FILTER_CONTINUE;
    auto* modal = static_cast<Modal*>(data);
    modal->response = kEnded;
    modal->answered = true;
    modal->vanished = true;
    return GDK_FILTER_REMOVE;
}

// Called from GLib: nothing may throw through it.
gboolean onTick(gpointer data) {
    auto* modal = static_cast<Modal*>(data);
    bool goOn = false;
    try {
        goOn = (*modal->keepDrawing)();
    } catch (...) {
        goOn = false;
    }
    if (goOn) return G_SOURCE_CONTINUE;
    modal->response = kEnded;
    modal->answered = true;
    modal->timer = 0;
    return G_SOURCE_REMOVE;
}

// Shows the dialog, keeps the window drawn every 16 ms while it is open, and returns its
// response, or kEnded when it ended without one. The dialog is hidden afterwards, or destroyed
// when its window was.
int runModal(GtkWidget* dialog, const std::function<bool()>& keepDrawing) {
    Modal modal;
    modal.keepDrawing = &keepDrawing;
    const gulong handler = g_signal_connect(dialog, "response", G_CALLBACK(onResponse), &modal);
    gtk_widget_realize(dialog);
    GdkWindow* window = gtk_widget_get_window(dialog);
    const bool onX = window != nullptr && GDK_IS_X11_WINDOW(window);
    if (onX) gdk_window_add_filter(window, onXEvent, &modal);
    // Below the dialog's own input and drawing, so that a slow frame cannot starve the dialog.
    modal.timer = g_timeout_add_full(G_PRIORITY_DEFAULT_IDLE, 16, onTick, &modal, nullptr);
    gtk_widget_show(dialog);
    while (!modal.answered) g_main_context_iteration(nullptr, TRUE);
    if (modal.timer != 0) g_source_remove(modal.timer);
    if (onX) gdk_window_remove_filter(window, onXEvent, &modal);
    g_signal_handler_disconnect(dialog, handler);
    if (modal.vanished) {
        gtk_widget_destroy(dialog);
    } else {
        gtk_widget_hide(dialog);
    }
    gdk_display_flush(gdk_display_get_default());
    return modal.response;
}

// Escape and the window manager's close button close a dialog by a delete event, after which
// GTK would destroy it; hidden instead, it answers GTK_RESPONSE_DELETE_EVENT like any button.
void hideOnClose(GtkWidget* dialog) {
    g_signal_connect(dialog, "delete-event", G_CALLBACK(gtk_widget_hide_on_delete), nullptr);
}

// The chooser asks nothing about an existing file itself: the name it answers may still get
// the default extension, and the question is about the file actually written.
int askToReplace(const std::string& path, const std::string& title, unsigned long owner,
                 const std::function<bool()>& keepDrawing) {
    const GText name(g_path_get_basename(path.c_str()));
    const GText folder(g_path_get_dirname(path.c_str()));
    const GText folderName(g_path_get_basename(folder.get()));
    const std::unique_ptr<GtkWidget, Destroy> question(GTK_WIDGET(g_object_ref(
        gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, GTK_MESSAGE_QUESTION, GTK_BUTTONS_NONE,
                               "A file named “%s” already exists.  Do you want to replace it?", name.get()))));
    GtkWidget* ask = question.get();
    hideOnClose(ask);
    belongTo(GTK_WINDOW(ask), owner);
    gtk_message_dialog_format_secondary_text(GTK_MESSAGE_DIALOG(ask),
                                             "The file already exists in “%s”.  Replacing it will overwrite its contents.",
                                             folderName.get());
    gtk_dialog_add_button(GTK_DIALOG(ask), "_Cancel", GTK_RESPONSE_CANCEL);
    gtk_dialog_add_button(GTK_DIALOG(ask), "_Replace", GTK_RESPONSE_ACCEPT);
    gtk_dialog_set_default_response(GTK_DIALOG(ask), GTK_RESPONSE_ACCEPT);
    if (!title.empty()) gtk_window_set_title(GTK_WINDOW(ask), title.c_str());
    return runModal(ask, keepDrawing);
}

void configure(GtkFileChooser* chooser, const FileDialogOptions& options) {
    if (options.kind == FileDialogKind::Open && options.multiSelect) gtk_file_chooser_set_select_multiple(chooser, TRUE);
    if (options.kind != FileDialogKind::Folder) {
        for (const NamedList& filter : options.filters) {
            GtkFileFilter* gtkFilter = gtk_file_filter_new();
            gtk_file_filter_set_name(gtkFilter, filter.name.c_str());
            if (filter.extensions.empty()) gtk_file_filter_add_pattern(gtkFilter, "*");
            for (const std::string& extension : filter.extensions) {
                gtk_file_filter_add_pattern(gtkFilter, caseInsensitiveGlob(extension).c_str());
            }
            gtk_file_chooser_add_filter(chooser, gtkFilter);
            if (&filter == &options.filters.front()) gtk_file_chooser_set_filter(chooser, gtkFilter);
        }
    }
    if (options.kind == FileDialogKind::Save) {
        gtk_file_chooser_set_do_overwrite_confirmation(chooser, FALSE);
        if (!options.defaultName.empty()) gtk_file_chooser_set_current_name(chooser, options.defaultName.c_str());
    }
    // Left without a folder, GTK opens on its list of recent files, which this program never
    // fills; a default folder that is gone falls back to the working folder too.
    const GText workingFolder(g_get_current_dir());
    if (options.defaultFolder.empty() || !gtk_file_chooser_set_current_folder(chooser, options.defaultFolder.c_str())) {
        gtk_file_chooser_set_current_folder(chooser, workingFolder.get());
    }
}

std::vector<std::string> chosenPaths(GtkFileChooser* chooser, FileDialogKind kind) {
    std::vector<std::string> paths;
    if (kind == FileDialogKind::Open) {
        GSList* names = gtk_file_chooser_get_filenames(chooser);
        for (GSList* at = names; at != nullptr; at = at->next) {
            if (at->data != nullptr) paths.emplace_back(static_cast<const char*>(at->data));
        }
        g_slist_free_full(names, g_free);
    } else if (const GText name{gtk_file_chooser_get_filename(chooser)}) {
        paths.emplace_back(name.get());
    }
    return paths;
}

GtkWidget* newChooser(const FileDialogOptions& options) {
    const GtkFileChooserAction action = options.kind == FileDialogKind::Save     ? GTK_FILE_CHOOSER_ACTION_SAVE
                                        : options.kind == FileDialogKind::Folder ? GTK_FILE_CHOOSER_ACTION_SELECT_FOLDER
                                                                                 : GTK_FILE_CHOOSER_ACTION_OPEN;
    // The buttons GtkFileChooserNative gave its dialog.
    GtkWidget* dialog = gtk_file_chooser_dialog_new(options.title.empty() ? nullptr : options.title.c_str(), nullptr,
                                                    action, "_Cancel", GTK_RESPONSE_CANCEL,
                                                    action == GTK_FILE_CHOOSER_ACTION_SAVE ? "_Save" : "_Open",
                                                    GTK_RESPONSE_ACCEPT, nullptr);
    if (dialog == nullptr) return nullptr;
    gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_ACCEPT);
    return GTK_WIDGET(g_object_ref(dialog));
}

FileDialogResult runChooser(const FileDialogOptions& options, unsigned long owner,
                            const std::function<bool()>& keepDrawing) {
    const VanishingWindows mayVanish;
    const std::unique_ptr<GtkWidget, Retire> dialog(newChooser(options));
    if (!dialog) return failed("creating the file dialog");
    hideOnClose(dialog.get());
    belongTo(GTK_WINDOW(dialog.get()), owner);
    GtkFileChooser* chooser = GTK_FILE_CHOOSER(dialog.get());
    configure(chooser, options);
    for (;;) {
        if (runModal(dialog.get(), keepDrawing) != GTK_RESPONSE_ACCEPT) {
            return FileDialogResult{FileDialogResult::cancelled, {}};
        }
        std::vector<std::string> paths = chosenPaths(chooser, options.kind);
        if (paths.empty()) return failed("reading the chosen path");
        if (options.kind != FileDialogKind::Save) return FileDialogResult{FileDialogResult::chosen, std::move(paths)};

        const std::string path = withDefaultExtension(paths.front(), options);
        if (!g_file_test(path.c_str(), G_FILE_TEST_EXISTS)) return FileDialogResult{FileDialogResult::chosen, {path}};
        const int answer = askToReplace(path, options.title, owner, keepDrawing);
        if (answer == GTK_RESPONSE_ACCEPT) return FileDialogResult{FileDialogResult::chosen, {path}};
        // A question that went away unanswered (its window destroyed, or the window closing)
        // ends the whole dialog: the chooser behind it is hidden, and the program goes on.
        if (answer == kEnded) return FileDialogResult{FileDialogResult::cancelled, {}};
        // Not replaced: back to the chooser with the name that was to be written.
        const GText folder(g_path_get_dirname(path.c_str()));
        const GText name(g_path_get_basename(path.c_str()));
        gtk_file_chooser_set_current_folder(chooser, folder.get());
        gtk_file_chooser_set_current_name(chooser, name.get());
    }
}

}  // namespace

FileDialogResult runNativeFileDialog(const FileDialogRequest& request, unsigned long owner,
                                     const std::function<bool()>& keepDrawing) noexcept {
    try {
        if (!gtkStarted(owner)) return failed("gtk_init_check");
        return runChooser(request.options, owner, keepDrawing);
    } catch (...) {
        return failed("the file dialog");
    }
}

}  // namespace tarn::ui
