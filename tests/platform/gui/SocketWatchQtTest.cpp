// Window sockets served by Qt's event loop, as the program's windows are.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <chrono>
#include <future>
#include <thread>
#include <vector>

#include "platform/gui/window/SocketWatch.h"
#include "platform/ipc/WindowClient.h"
#include "platform/ipc/WindowServer.h"
#include "tests/support/TestFiles.h"

using namespace std::chrono_literals;
using winlink::Client;
using winlink::Request;
using winlink::Server;

namespace {

LRESULT Ask(Client& client, Request r) {
    LRESULT result = 0;
    return client.Send(r, result) ? result : -999;
}

class SocketWatchQt : public ::testing::Test {
protected:
    testing_support::TempDir m_runtime;
    testing_support::ScopedEnv m_runtimeEnv{"XDG_RUNTIME_DIR", m_runtime.Path()};
};

TEST_F(SocketWatchQt, EventLoopServesRequestsOneAtATime) {
    int argc = 1;
    char name[] = "test";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    afx_gui::InstallSocketWatch();
    std::vector<int> log;
    // The first request runs a nested event loop, as a message box would; the second must wait.
    auto server = Server::Listen("Nested", [&](const Request& r) {
        log.push_back(int(r.msg));
        if (r.msg == 1) {
            QEventLoop nested;
            QTimer::singleShot(300, &nested, &QEventLoop::quit);
            nested.exec();
            log.push_back(-1);
        }
        return LRESULT(r.msg * 10);
    });
    ASSERT_TRUE(server);
    auto sendFrom = [](UINT msg, std::chrono::milliseconds delay) {
        return std::async(std::launch::async, [=] {
            std::this_thread::sleep_for(delay);
            auto client = Client::Connect("Nested");
            return client ? Ask(*client, {msg, 0, 0}) : -1;
        });
    };
    auto first = sendFrom(1, 0ms);
    auto second = sendFrom(2, 100ms);
    QTimer::singleShot(10000, &app, &QCoreApplication::quit);
    std::thread quitter([&] {
        first.wait();
        second.wait();
        QMetaObject::invokeMethod(&app, &QCoreApplication::quit, Qt::QueuedConnection);
    });
    app.exec();
    quitter.join();
    EXPECT_EQ(first.get(), 10);
    EXPECT_EQ(second.get(), 20);
    EXPECT_EQ(log, (std::vector<int>{1, -1, 2}));
}

}  // namespace
