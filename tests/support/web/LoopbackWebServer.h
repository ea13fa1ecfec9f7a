#pragma once
// A small web server on the loopback address for the browser's tests, so that no test reaches
// the network: two pages that link to each other, a page that never finishes, a page that sets a
// cookie and stores data, a download and a page that tries to read a local file. The secure one
// serves them over TLS with a self-signed certificate that no browser should accept.
#include <QByteArray>
#include <QFile>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QPointer>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QString>
#include <QTcpServer>
#include <QTcpSocket>

#include <memory>

class LoopbackWebServer final : public QObject {
 public:
  enum class Transport { Plain, SelfSignedTls };
  explicit LoopbackWebServer(Transport transport = Transport::Plain) {
    if (transport == Transport::SelfSignedTls) {
      auto* secure = new QSslServer(this);
      QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
      QFile certificate(QStringLiteral(KEYLOFT_TEST_CERTIFICATE)), key(QStringLiteral(KEYLOFT_TEST_KEY));
      certificate.open(QIODevice::ReadOnly);
      key.open(QIODevice::ReadOnly);
      tls.setLocalCertificate(QSslCertificate(certificate.readAll()));
      tls.setPrivateKey(QSslKey(key.readAll(), QSsl::Rsa));
      secure->setSslConfiguration(tls);
      server_ = secure;
      scheme_ = QStringLiteral("https://");
    } else {
      server_ = new QTcpServer(this);
    }
    server_->listen(QHostAddress::LocalHost, 0);
    connect(server_, &QTcpServer::pendingConnectionAvailable, this, [this] {
      while (QTcpSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
      }
    });
  }
  ~LoopbackWebServer() override {
    for (const QPointer<QTcpSocket>& socket : held_)
      if (socket) socket->abort();
  }

  QString address(const QString& path) const {
    return scheme_ + QStringLiteral("127.0.0.1:") + QString::number(server_->serverPort()) + path;
  }
  // The same page as a user types it: no scheme.
  QString typed(const QString& path) const {
    return QStringLiteral("127.0.0.1:") + QString::number(server_->serverPort()) + path;
  }
  int requests(const QString& path) const { return requests_.value(path); }

 private:
  void read(QTcpSocket* socket) {
    QByteArray& request = pending_[socket];
    request += socket->readAll();
    if (!request.contains("\r\n\r\n")) return;
    const QList<QByteArray> line = request.left(request.indexOf("\r\n")).split(' ');
    pending_.remove(socket);
    const QString path = line.size() > 1 ? QString::fromLatin1(line[1]) : QString();
    ++requests_[path];
    respond(socket, path);
  }

  void respond(QTcpSocket* socket, const QString& path) {
    if (path == u"/one") return page(socket, "Page One", "<a id='next' href='/two'>to page two</a>");
    if (path == u"/two") return page(socket, "Page Two", "<a href='/one'>to page one</a>");
    if (path == u"/cookie")
      return page(socket, "Cookie Set",
                  "<script>localStorage.setItem('kept', 'yes'); sessionStorage.setItem('kept', 'yes');"
                  "indexedDB.open('kept', 1);</script>",
                  "Set-Cookie: session=abc123; Max-Age=86400; Path=/\r\nCache-Control: max-age=86400\r\n");
    if (path == u"/cookie-check")
      return page(socket, "checking", "<script>document.title = 'cookie:' + document.cookie;</script>");
    if (path == u"/files")
      return page(socket, "trying",
                  "<script>fetch('file:///etc/hostname').then(r => r.text())"
                  ".then(t => { document.title = 'read'; }, e => { document.title = 'blocked'; });</script>");
    if (path == u"/download") {
      socket->write(
          "HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\n"
          "Content-Disposition: attachment; filename=\"secret.bin\"\r\nContent-Length: 6\r\n"
          "Connection: close\r\n\r\nsecret");
      socket->disconnectFromHost();
      return;
    }
    if (path == u"/slow") {
      // Headers and the start of the page, then nothing: the load runs until it is stopped.
      socket->write(
          "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: 100000\r\n\r\n"
          "<html><head><title>Slow</title></head><body>");
      socket->flush();
      held_.append(socket);
      return;
    }
    socket->write("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
    socket->disconnectFromHost();
  }

  static void page(QTcpSocket* socket, const char* title, const char* body, const char* headers = "") {
    const QByteArray html = QByteArray("<html><head><title>") + title + "</title></head><body>" + body +
                            "</body></html>";
    socket->write(QByteArray("HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\n") + headers +
                  "Content-Length: " + QByteArray::number(html.size()) + "\r\nConnection: close\r\n\r\n" + html);
    socket->disconnectFromHost();
  }

  QTcpServer* server_ = nullptr;
  QString scheme_ = QStringLiteral("http://");
  QHash<QTcpSocket*, QByteArray> pending_;
  QHash<QString, int> requests_;
  QList<QPointer<QTcpSocket>> held_;
};
