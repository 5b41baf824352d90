// A drag source for the end-to-end tests, offering one file the way file managers do:
// a small window that, when the mouse is pressed on it, drags the file given on its
// command line as a URL list and as the same URL in text. It prints "finished ACTION"
// when the target reports the end of the drop (XdndFinished), then quits.
#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

xcb_atom_t internAtom(xcb_connection_t* connection, const char* name)
{
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return atom;
}

// Prints the XdndFinished message the target sends: data32[1] bit 0 says whether it
// took the drop, data32[2] names the action it performed.
class FinishedWatch : public QAbstractNativeEventFilter {
public:
    explicit FinishedWatch(xcb_connection_t* connection)
            : finished_(internAtom(connection, "XdndFinished")),
              copy_(internAtom(connection, "XdndActionCopy"))
    {
    }
    bool nativeEventFilter(const QByteArray&, void* message, qintptr*) override
    {
        const auto* client = static_cast<const xcb_client_message_event_t*>(message);
        if ((client->response_type & 0x7F) != XCB_CLIENT_MESSAGE || client->type != finished_) return false;
        const bool accepted = client->data.data32[1] & 1;
        std::printf("finished %s\n", !accepted ? "ignore" : client->data.data32[2] == copy_ ? "copy" : "other");
        std::fflush(stdout);
        QApplication::quit();
        return false;
    }

private:
    xcb_atom_t finished_, copy_;
};

class Source : public QWidget {
public:
    explicit Source(QUrl url) : url_(std::move(url)) {}

protected:
    void mousePressEvent(QMouseEvent*) override
    {
        auto* data = new QMimeData;
        data->setUrls({url_});
        data->setText(url_.toString());
        auto* drag = new QDrag(this);
        drag->setMimeData(data);
        drag->exec(Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, Qt::CopyAction);
    }

private:
    QUrl url_;
};

}  // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    auto* x11 = application.nativeInterface<QNativeInterface::QX11Application>();
    if (argc != 2 || !x11) {
        std::fprintf(stderr, "usage: drag_source FILE, on X11\n");
        return 2;
    }
    FinishedWatch watch(x11->connection());
    application.installNativeEventFilter(&watch);
    Source source(QUrl::fromLocalFile(QString::fromLocal8Bit(argv[1])));
    source.setWindowTitle("pomelune-drag-source");
    source.setGeometry(700, 500, 120, 80);
    source.show();
    return application.exec();
}
