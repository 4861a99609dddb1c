// Message boxes through wxMessageDialog, answered by pressing the dialog's
// buttons from a GLib timeout while the dialog runs.
#include "base/platform/gui/wx_services.h"
#include "base/platform/message_box.h"

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <string>

namespace {

using namespace platform;

// What the dialog showed, and the response to give it.
struct Responder {
    explicit Responder(int answer) : response(answer) {}
    int response;
    std::string title;
    std::string text;
    std::string secondary;
    int buttons = 0;
    bool answered = false;
};

void CountButtons(GtkWidget* widget, gpointer data) {
    if (GTK_IS_BUTTON(widget))
        ++static_cast<Responder*>(data)->buttons;
    else if (GTK_IS_CONTAINER(widget))
        gtk_container_forall(GTK_CONTAINER(widget), CountButtons, data);
}

gboolean AnswerVisibleDialog(gpointer data) {
    auto* responder = static_cast<Responder*>(data);
    GList* windows = gtk_window_list_toplevels();
    for (GList* w = windows; w; w = w->next) {
        if (!GTK_IS_MESSAGE_DIALOG(w->data) || !gtk_widget_get_visible(GTK_WIDGET(w->data)))
            continue;
        GtkDialog* dialog = GTK_DIALOG(w->data);
        const char* title = gtk_window_get_title(GTK_WINDOW(dialog));
        responder->title = title ? title : "";
        gchar* text = nullptr;
        gchar* secondary = nullptr;
        g_object_get(dialog, "text", &text, "secondary-text", &secondary, nullptr);
        responder->text = text ? text : "";
        responder->secondary = secondary ? secondary : "";
        g_free(text);
        g_free(secondary);
        gtk_container_forall(GTK_CONTAINER(dialog), CountButtons, responder);
        responder->answered = true;
        gtk_dialog_response(dialog, responder->response);
        break;
    }
    g_list_free(windows);
    return responder->answered ? G_SOURCE_REMOVE : G_SOURCE_CONTINUE;
}

int ShowAnswered(Responder& responder, const std::string& text, const std::string& caption,
                 unsigned style) {
    g_timeout_add(50, AnswerVisibleDialog, &responder);
    return MessageBox(nullptr, text, caption, style);
}

TEST(WxMessageBox, ButtonsAnswersAndCaption) {
    InstallWxMessageBoxes();

    Responder yes{GTK_RESPONSE_YES};
    EXPECT_EQ(ShowAnswered(yes, "Would delete file a.mp3 ?", "Confirm file deleting",
                           kMbYesNo | kMbIconInformation),
              kIdYes);
    EXPECT_TRUE(yes.answered);
    EXPECT_EQ(yes.title, "Confirm file deleting");
    EXPECT_EQ(yes.text, "Would delete file a.mp3 ?");
    EXPECT_EQ(yes.buttons, 2);

    // An empty caption is the application's name; a secondary text shows below the main text.
    Responder no{GTK_RESPONSE_NO};
    EXPECT_EQ(ShowAnswered(no,
                           WithSecondaryText("Already exist the file.\nWill you overwrite?",
                                             "/home/me/raw data/data.dat"),
                           "", kMbYesNoCancel | kMbIconQuestion),
              kIdNo);
    EXPECT_EQ(no.title, "Songdock");
    EXPECT_EQ(no.text, "Already exist the file.\nWill you overwrite?");
    EXPECT_EQ(no.secondary, "/home/me/raw data/data.dat");
    EXPECT_EQ(no.buttons, 3);

    Responder cancel{GTK_RESPONSE_CANCEL};
    EXPECT_EQ(ShowAnswered(cancel, "x", "", kMbOkCancel | kMbIconWarning), kIdCancel);

    // Closing a Yes/No box by the window manager is No; an OK box is OK.
    Responder closedYesNo{GTK_RESPONSE_DELETE_EVENT};
    EXPECT_EQ(ShowAnswered(closedYesNo, "x", "", kMbYesNo), kIdNo);
    Responder ok{GTK_RESPONSE_DELETE_EVENT};
    EXPECT_EQ(ShowAnswered(ok, "Raw Data Range was exceeded.", "", kMbOk), kIdOk);
    EXPECT_EQ(ok.buttons, 1);

    SetMessageBoxHandler(nullptr);
}

TEST(WxMessageBox, ANameThatIsNotUtf8StillShows) {
    InstallWxMessageBoxes();
    Responder ok{GTK_RESPONSE_OK};
    // A stray byte, an overlong "/", a cut sequence, an encoded surrogate,
    // and valid Hangul between them.
    ShowAnswered(ok, "/srv/M\xfasica/\xc0\xaf\xe2\x82x\xed\xa0\x80\xed\x99\x95.mp3: No such file",
                 "", kMbOk);
    ASSERT_TRUE(ok.answered);
    // One replacement mark per byte that is not part of valid UTF-8.
    const std::string mark = "\xef\xbf\xbd";
    EXPECT_EQ(ok.text, "/srv/M" + mark + "sica/" + mark + mark + mark + mark + "x" + mark + mark +
                           mark + "\xed\x99\x95.mp3: No such file");
    SetMessageBoxHandler(nullptr);
}

} // namespace
