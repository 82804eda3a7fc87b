// dirsite: the demo directory site on the loopback interface.
//
//   dirsite [--port N] [--data FILE]     serve until SIGTERM or SIGINT
//   dirsite --write-banner PATH          write the banner page and exit
//
// The first line on stdout is the site's base address, "http://127.0.0.1:<port>".

#include "directory.h"
#include "pages.h"
#include "platform/codepage.h"
#include "site.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <mutex>
#include <pthread.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

// A silent answer keeps its worker this long at most.
constexpr int silentLimitMs = 300000;

constexpr char usage[] = "usage: dirsite [--port N] [--data FILE]\n"
                         "       dirsite --write-banner PATH\n";

int fail(const QString &message)
{
    std::fprintf(stderr, "dirsite: %s\n", qUtf8Printable(message));
    return 1;
}

int writeBanner(const QString &path)
{
    QFile banner(demo::builtInBanner.toString());
    if (!banner.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("the built-in banner page is missing"));
    const QByteArray bytes = banner.readAll();
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return fail(QStringLiteral("cannot create the folder of %1").arg(path));
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit())
        return fail(QStringLiteral("%1: %2").arg(path, out.errorString()));
    return 0;
}

int serve(const demo::Directory &directory, int wantedPort)
{
    // SIGINT and SIGTERM are taken by sigwait() below; the server threads inherit the mask.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    httplib::Server server;
    // A late or silent answer waits on this, so a stop does not wait for it.
    std::mutex stopMutex;
    std::condition_variable stopSignalled;
    std::atomic<bool> stopping = false;
    const auto handle = [&](const httplib::Request &request, httplib::Response &response) {
        const demo::Reply reply =
            demo::answer(directory, QByteArrayView(request.method), QByteArrayView(request.target));
        if (reply.delayMs != 0) {
            // Even a silent answer gives its worker back after a while.
            const auto delay = std::chrono::milliseconds(
                reply.delayMs == demo::Reply::never ? silentLimitMs : reply.delayMs);
            std::unique_lock lock(stopMutex);
            if (stopSignalled.wait_for(lock, delay, [&stopping] { return stopping.load(); }))
                return;
        }
        response.status = reply.status;
        response.set_content(reply.body.constData(), std::size_t(reply.body.size()),
                             reply.contentType.constData());
    };
    server.Get(".*", handle);
    server.Post(".*", handle);
    // Requests that reach no handler (other methods, malformed requests) still get a GBK page.
    const httplib::Server::HandlerWithResponse errorPage = [](const httplib::Request &request,
                                                              httplib::Response &response) {
        if (!response.body.empty())
            return httplib::Server::HandlerResponse::Unhandled;
        const QByteArray body = platform::toAnsi(demo::errorPage(response.status));
        response.set_content(body.constData(), std::size_t(body.size()), demo::contentType);
        return httplib::Server::HandlerResponse::Handled;
    };
    server.set_error_handler(errorPage);

    // SO_REUSEADDR lets a restarted site take its port back at once; unlike the library's default
    // (SO_REUSEPORT) it does not let a second site listen on a port that is already served.
    server.set_socket_options([](socket_t socket) {
        const int yes = 1;
        setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });

    // A stop waits for the connections that clients keep open; keep that wait short.
    server.set_keep_alive_timeout(1);

    int port = wantedPort;
    if (wantedPort == 0)
        port = server.bind_to_any_port("127.0.0.1");
    else if (!server.bind_to_port("127.0.0.1", wantedPort))
        port = -1;
    if (port <= 0)
        return fail(QStringLiteral("cannot listen on 127.0.0.1 port %1").arg(wantedPort));

    std::printf("http://127.0.0.1:%d\n", port);
    std::fflush(stdout);

    std::atomic<bool> listenFailed = false;
    std::thread listener([&] {
        if (!server.listen_after_bind() && !stopping) {
            listenFailed = true;
            kill(getpid(), SIGTERM); // wake the main thread's sigwait()
        }
    });
    // stop() only takes effect once the server runs, so wait for that before taking signals.
    while (!server.is_running() && !listenFailed)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));

    int received = 0;
    sigwait(&stopSignals, &received);
    {
        const std::scoped_lock lock(stopMutex);
        stopping = true;
    }
    stopSignalled.notify_all();
    server.stop();
    listener.join();
    if (listenFailed)
        return fail(QStringLiteral("the server stopped unexpectedly"));
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    int port = 0;
    QString dataPath = demo::builtInDirectory.toString();
    for (int i = 1; i < argc; ++i) {
        const QByteArrayView arg(argv[i]);
        const bool hasValue = i + 1 < argc;
        if (arg == "--help" || arg == "-h") {
            std::fputs(usage, stdout);
            return 0;
        }
        if (arg == "--write-banner" && hasValue)
            return writeBanner(QFile::decodeName(argv[++i]));
        if (arg == "--data" && hasValue) {
            dataPath = QFile::decodeName(argv[++i]);
        } else if (arg == "--port" && hasValue) {
            bool ok = false;
            port = QByteArrayView(argv[++i]).toInt(&ok);
            if (!ok || port < 0 || port > 65535) {
                std::fprintf(stderr, "dirsite: bad port \"%s\"\n%s", argv[i], usage);
                return 2;
            }
        } else {
            std::fprintf(stderr, "dirsite: unexpected argument \"%s\"\n%s", argv[i], usage);
            return 2;
        }
    }

    demo::Directory directory;
    QString error;
    if (!directory.load(dataPath, &error))
        return fail(error);
    return serve(directory, port);
}
