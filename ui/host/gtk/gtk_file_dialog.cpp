// The desktop's file dialog on GTK 3 (the desktop portal's where one runs), with the window kept drawn.
#include "ui/host/gtk/dialog_names.h"
#include "ui/host/gtk/dialog_size.h"
#include "ui/host/native_file_dialog.h"

#include <gtk/gtk.h>

#include <cstdio>
#include <memory>

namespace tarn::ui {
namespace {

// What runModal answers when the window asked for the dialog to close.
constexpr int kStopped = GTK_RESPONSE_NONE;

// GTK's chooser looks at its selection again 150 ms after its name changed, from a timer that
// only its finalisation removes, and something inside GTK may still hold the chooser when the
// last reference here goes: the timer then runs on a destroyed chooser and GTK logs criticals.
// The chooser is dropped a second later instead, by the main loop (during the next dialog), after
// any such timer has run.
gboolean drop(gpointer object) {
    g_object_unref(object);
    return G_SOURCE_REMOVE;
}
struct Retire {
    void operator()(GtkFileChooserNative* native) const { g_timeout_add_seconds(1, drop, native); }
};
// For a window made here: GTK's own reference goes with the destroy, ours after it.
struct Destroy {
    void operator()(GtkWidget* window) const {
        gtk_widget_destroy(window);
        g_object_unref(window);
    }
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

bool gtkStarted() {
    // Left to itself GTK sets the C locale from the environment, and numbers would then be
    // written with decimal commas into every document.
    static const bool localeKept = (gtk_disable_setlocale(), true);
    (void)localeKept;
    if (gtk_init_check(nullptr, nullptr) == FALSE) return false;
    static const bool recentListLeftAlone = (leaveRecentListAlone(), true);
    (void)recentListLeftAlone;
    return true;
}

struct Modal {
    const std::function<bool()>* keepDrawing = nullptr;
    int response = kStopped;
    bool answered = false;
    guint timer = 0;
};

void onResponse(GObject*, int response, gpointer data) {
    auto* modal = static_cast<Modal*>(data);
    modal->response = response;
    modal->answered = true;
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
    modal->response = kStopped;
    modal->answered = true;
    modal->timer = 0;
    return G_SOURCE_REMOVE;
}

// Shows a native dialog or a GTK dialog, keeps the window drawn every 16 ms while it is open,
// and returns its response (kStopped when the window asked for it to close).
int runModal(gpointer dialog, bool native, const std::function<bool()>& keepDrawing) {
    Modal modal;
    modal.keepDrawing = &keepDrawing;
    const gulong handler = g_signal_connect(dialog, "response", G_CALLBACK(onResponse), &modal);
    // Below the dialog's own input and drawing, so that a slow frame cannot starve the dialog.
    modal.timer = g_timeout_add_full(G_PRIORITY_DEFAULT_IDLE, 16, onTick, &modal, nullptr);
    if (native) {
        gtk_native_dialog_show(GTK_NATIVE_DIALOG(dialog));
    } else {
        gtk_widget_show(GTK_WIDGET(dialog));
    }
    while (!modal.answered) g_main_context_iteration(nullptr, TRUE);
    if (modal.timer != 0) g_source_remove(modal.timer);
    g_signal_handler_disconnect(dialog, handler);
    if (native) {
        gtk_native_dialog_hide(GTK_NATIVE_DIALOG(dialog));
    } else {
        gtk_widget_hide(GTK_WIDGET(dialog));
    }
    gdk_display_flush(gdk_display_get_default());
    return modal.response;
}

// The chooser asks nothing about an existing file itself: the name it answers may still get
// the default extension, and the question is about the file actually written.
int askToReplace(const std::string& path, const std::string& title, const std::function<bool()>& keepDrawing) {
    const GText name(g_path_get_basename(path.c_str()));
    const GText folder(g_path_get_dirname(path.c_str()));
    const GText folderName(g_path_get_basename(folder.get()));
    const std::unique_ptr<GtkWidget, Destroy> question(GTK_WIDGET(g_object_ref(
        gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, GTK_MESSAGE_QUESTION, GTK_BUTTONS_NONE,
                               "A file named “%s” already exists.  Do you want to replace it?", name.get()))));
    GtkWidget* ask = question.get();
    // Escape and the window manager's close button close a dialog by a delete event, after which
    // GTK would destroy it; hidden instead, it answers GTK_RESPONSE_DELETE_EVENT like any button.
    g_signal_connect(ask, "delete-event", G_CALLBACK(gtk_widget_hide_on_delete), nullptr);
    gtk_message_dialog_format_secondary_text(GTK_MESSAGE_DIALOG(ask),
                                             "The file already exists in “%s”.  Replacing it will overwrite its contents.",
                                             folderName.get());
    gtk_dialog_add_button(GTK_DIALOG(ask), "_Cancel", GTK_RESPONSE_CANCEL);
    gtk_dialog_add_button(GTK_DIALOG(ask), "_Replace", GTK_RESPONSE_ACCEPT);
    gtk_dialog_set_default_response(GTK_DIALOG(ask), GTK_RESPONSE_ACCEPT);
    if (!title.empty()) gtk_window_set_title(GTK_WINDOW(ask), title.c_str());
    return runModal(ask, false, keepDrawing);
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
    if (!options.defaultFolder.empty()) gtk_file_chooser_set_current_folder(chooser, options.defaultFolder.c_str());
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

FileDialogResult runChooser(const FileDialogOptions& options, const std::function<bool()>& keepDrawing) {
    const GtkFileChooserAction action = options.kind == FileDialogKind::Save     ? GTK_FILE_CHOOSER_ACTION_SAVE
                                        : options.kind == FileDialogKind::Folder ? GTK_FILE_CHOOSER_ACTION_SELECT_FOLDER
                                                                                 : GTK_FILE_CHOOSER_ACTION_OPEN;
    GList* before = gtk_window_list_toplevels();
    const std::unique_ptr<GtkFileChooserNative, Retire> native(gtk_file_chooser_native_new(
        options.title.empty() ? nullptr : options.title.c_str(), nullptr, action, nullptr, nullptr));
    GList* after = gtk_window_list_toplevels();
    GtkWindow* window = newChooserWindow(before, after);
    g_list_free(before);
    g_list_free(after);
    if (!native) return failed("creating the file dialog");
    if (window != nullptr) fitToWorkAreaWhenShown(window);
    GtkFileChooser* chooser = GTK_FILE_CHOOSER(native.get());
    configure(chooser, options);
    for (;;) {
        if (runModal(native.get(), true, keepDrawing) != GTK_RESPONSE_ACCEPT) {
            return FileDialogResult{FileDialogResult::cancelled, {}};
        }
        std::vector<std::string> paths = chosenPaths(chooser, options.kind);
        if (paths.empty()) return failed("reading the chosen path");
        if (options.kind != FileDialogKind::Save) return FileDialogResult{FileDialogResult::chosen, std::move(paths)};

        const std::string path = withDefaultExtension(paths.front(), options);
        if (!g_file_test(path.c_str(), G_FILE_TEST_EXISTS)) return FileDialogResult{FileDialogResult::chosen, {path}};
        const int answer = askToReplace(path, options.title, keepDrawing);
        if (answer == GTK_RESPONSE_ACCEPT) return FileDialogResult{FileDialogResult::chosen, {path}};
        if (answer == kStopped) return FileDialogResult{FileDialogResult::cancelled, {}};
        // Not replaced: back to the chooser with the name that was to be written.
        const GText folder(g_path_get_dirname(path.c_str()));
        const GText name(g_path_get_basename(path.c_str()));
        gtk_file_chooser_set_current_folder(chooser, folder.get());
        gtk_file_chooser_set_current_name(chooser, name.get());
    }
}

}  // namespace

FileDialogResult runNativeFileDialog(const FileDialogRequest& request, const std::function<bool()>& keepDrawing) noexcept {
    try {
        if (!gtkStarted()) return failed("gtk_init_check");
        return runChooser(request.options, keepDrawing);
    } catch (...) {
        return failed("the file dialog");
    }
}

}  // namespace tarn::ui
