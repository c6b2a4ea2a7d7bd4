#pragma once
// The errors of an HTTP transfer. Transport failures carry the Windows
// socket error code in their text ("Socket Error # 10061" CR LF
// "Connection refused."), so callers that translate a failure by the code's
// digits find it; no text ever carries the address, the host or the port.

#include "platform/core/Exception.h"

namespace Win {

// The Windows socket error codes the client reports.
enum TWinsockError : int {
    WSAEINTR = 10004,
    WSAEACCES = 10013,
    WSAEFAULT = 10014,
    WSAEINVAL = 10022,
    WSAEMFILE = 10024,
    WSAEWOULDBLOCK = 10035,
    WSAEINPROGRESS = 10036,
    WSAEALREADY = 10037,
    WSAENOTSOCK = 10038,
    WSAEDESTADDRREQ = 10039,
    WSAEMSGSIZE = 10040,
    WSAEPROTOTYPE = 10041,
    WSAENOPROTOOPT = 10042,
    WSAEPROTONOSUPPORT = 10043,
    WSAESOCKTNOSUPPORT = 10044,
    WSAEOPNOTSUPP = 10045,
    WSAEPFNOSUPPORT = 10046,
    WSAEAFNOSUPPORT = 10047,
    WSAEADDRINUSE = 10048,
    WSAEADDRNOTAVAIL = 10049,
    WSAENETDOWN = 10050,
    WSAENETUNREACH = 10051,
    WSAENETRESET = 10052,
    WSAECONNABORTED = 10053,
    WSAECONNRESET = 10054,
    WSAENOBUFS = 10055,
    WSAEISCONN = 10056,
    WSAENOTCONN = 10057,
    WSAESHUTDOWN = 10058,
    WSAETIMEDOUT = 10060,
    WSAECONNREFUSED = 10061,
    WSAEHOSTDOWN = 10064,
    WSAEHOSTUNREACH = 10065,
    WSAEPROCLIM = 10067,
    WSASYSNOTREADY = 10091,
    WSAVERNOTSUPPORTED = 10092,
    WSANOTINITIALISED = 10093,
    WSAEDISCON = 10094,
    WSAHOST_NOT_FOUND = 11001,
    WSATRY_AGAIN = 11002,
    WSANO_RECOVERY = 11003,
    WSANO_DATA = 11004,
};

} // namespace Win

// Any failure of a transfer.
class EHttpError : public Exception {
public:
    using Exception::Exception;
};

// A transport failure: "Socket Error # " + code + CR LF + description.
class ESocketError : public EHttpError {
public:
    explicit ESocketError(int code);
    int Code() const { return m_code; }

    // The Winsock wording of a code ("Connection refused."); empty for a
    // code the client never reports.
    static QString Description(int code);
    // The closest Winsock code of a POSIX errno value. Values without a
    // counterpart become WSAECONNABORTED: the transfer was given up locally.
    static int CodeFromErrno(int error);

private:
    int m_code;
};

// The call was waiting when its client was destroyed. Nothing of the client,
// nor of an object deriving from it, may be touched after catching this.
class EHttpClientDestroyed : public ESocketError {
public:
    EHttpClientDestroyed() : ESocketError(Win::WSAEINTR) { }
};

// The server closed the connection before its answer was complete (or
// before it answered at all).
class EConnClosedGracefully : public EHttpError {
public:
    EConnClosedGracefully();
};

// An answer with a status other than 2xx: "HTTP/1.1 404 Not Found".
class EHttpProtocolError : public EHttpError {
public:
    EHttpProtocolError(int code, const QString& reason);
    int ErrorCode() const { return m_code; }

private:
    int m_code;
};
