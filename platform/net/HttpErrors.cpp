#include "platform/net/HttpErrors.h"

#include "platform/core/Format.h"

#include <cerrno>

namespace {

struct CodeText {
    int code;
    const char* text;
};

// Descriptions as the socket layer of Windows words them. None carries
// digits, so a code found in an error text is always the error's own.
constexpr CodeText kDescriptions[] = {
    {WSAEINTR, "Interrupted function call."},
    {WSAEACCES, "Permission denied."},
    {WSAEFAULT, "Bad address."},
    {WSAEINVAL, "Invalid argument."},
    {WSAEMFILE, "Too many open files."},
    {WSAEWOULDBLOCK, "Resource temporarily unavailable."},
    {WSAEINPROGRESS, "Operation now in progress."},
    {WSAEALREADY, "Operation already in progress."},
    {WSAENOTSOCK, "Socket operation on non-socket."},
    {WSAEDESTADDRREQ, "Destination address required."},
    {WSAEMSGSIZE, "Message too long."},
    {WSAEPROTOTYPE, "Protocol wrong type for socket."},
    {WSAENOPROTOOPT, "Bad protocol option."},
    {WSAEPROTONOSUPPORT, "Protocol not supported."},
    {WSAESOCKTNOSUPPORT, "Socket type not supported."},
    {WSAEOPNOTSUPP, "Operation not supported."},
    {WSAEPFNOSUPPORT, "Protocol family not supported."},
    {WSAEAFNOSUPPORT, "Address family not supported by protocol family."},
    {WSAEADDRINUSE, "Address already in use."},
    {WSAEADDRNOTAVAIL, "Cannot assign requested address."},
    {WSAENETDOWN, "Network is down."},
    {WSAENETUNREACH, "Network is unreachable."},
    {WSAENETRESET, "Network dropped connection on reset."},
    {WSAECONNABORTED, "Software caused connection abort."},
    {WSAECONNRESET, "Connection reset by peer."},
    {WSAENOBUFS, "No buffer space available."},
    {WSAEISCONN, "Socket is already connected."},
    {WSAENOTCONN, "Socket is not connected."},
    {WSAESHUTDOWN, "Cannot send after socket shutdown."},
    {WSAETIMEDOUT, "Connection timed out."},
    {WSAECONNREFUSED, "Connection refused."},
    {WSAEHOSTDOWN, "Host is down."},
    {WSAEHOSTUNREACH, "No route to host."},
    {WSAEPROCLIM, "Too many processes."},
    {WSASYSNOTREADY, "Network subsystem is unavailable."},
    {WSAVERNOTSUPPORTED, "WINSOCK.DLL version out of range."},
    {WSANOTINITIALISED, "Successful WSAStartup not yet performed."},
    {WSAEDISCON, "Graceful shutdown in progress."},
    {WSAHOST_NOT_FOUND, "Host not found."},
    {WSATRY_AGAIN, "Non-authoritative host not found."},
    {WSANO_RECOVERY, "This is a non-recoverable error."},
    {WSANO_DATA, "Valid name, no data record of requested type."},
};

} // namespace

ESocketError::ESocketError(int code)
    : EHttpError(Format(QStringLiteral("Socket Error # %d\r\n%s"), {code, Description(code)})), m_code(code)
{
}

QString ESocketError::Description(int code)
{
    for (const CodeText& d : kDescriptions)
        if (d.code == code) return QString::fromLatin1(d.text);
    return QString();
}

int ESocketError::CodeFromErrno(int error)
{
    switch (error) {
    case EINTR: return WSAEINTR;
    case EACCES:
    case EPERM: return WSAEACCES;
    case EFAULT: return WSAEFAULT;
    case EINVAL: return WSAEINVAL;
    case EMFILE:
    case ENFILE: return WSAEMFILE;
    case EAGAIN: return WSAEWOULDBLOCK;
    case EINPROGRESS: return WSAEINPROGRESS;
    case EALREADY: return WSAEALREADY;
    case ENOTSOCK:
    case EBADF: return WSAENOTSOCK;
    case EDESTADDRREQ: return WSAEDESTADDRREQ;
    case EMSGSIZE: return WSAEMSGSIZE;
    case EPROTOTYPE: return WSAEPROTOTYPE;
    case ENOPROTOOPT: return WSAENOPROTOOPT;
    case EPROTONOSUPPORT: return WSAEPROTONOSUPPORT;
    case ESOCKTNOSUPPORT: return WSAESOCKTNOSUPPORT;
    case EOPNOTSUPP: return WSAEOPNOTSUPP;
    case EPFNOSUPPORT: return WSAEPFNOSUPPORT;
    case EAFNOSUPPORT: return WSAEAFNOSUPPORT;
    case EADDRINUSE: return WSAEADDRINUSE;
    case EADDRNOTAVAIL: return WSAEADDRNOTAVAIL;
    case ENETDOWN: return WSAENETDOWN;
    case ENETUNREACH: return WSAENETUNREACH;
    case ENETRESET: return WSAENETRESET;
    case ECONNABORTED: return WSAECONNABORTED;
    // Writing to a connection the peer has dropped is a reset on Windows.
    case ECONNRESET:
    case EPIPE: return WSAECONNRESET;
    case ENOBUFS:
    case ENOMEM: return WSAENOBUFS;
    case EISCONN: return WSAEISCONN;
    case ENOTCONN: return WSAENOTCONN;
    case ESHUTDOWN: return WSAESHUTDOWN;
    case ETIMEDOUT: return WSAETIMEDOUT;
    case ECONNREFUSED: return WSAECONNREFUSED;
    case EHOSTDOWN: return WSAEHOSTDOWN;
    case EHOSTUNREACH: return WSAEHOSTUNREACH;
    default: return WSAECONNABORTED;
    }
}

EConnClosedGracefully::EConnClosedGracefully() : EHttpError(QStringLiteral("Connection closed gracefully.")) {}

EHttpProtocolError::EHttpProtocolError(int code, const QString& reason)
    : EHttpError(QStringLiteral("HTTP/1.1 ") + QString::number(code) + u' ' + reason), m_code(code)
{
}
