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
    {Win::WSAEINTR, "Interrupted function call."},
    {Win::WSAEACCES, "Permission denied."},
    {Win::WSAEFAULT, "Bad address."},
    {Win::WSAEINVAL, "Invalid argument."},
    {Win::WSAEMFILE, "Too many open files."},
    {Win::WSAEWOULDBLOCK, "Resource temporarily unavailable."},
    {Win::WSAEINPROGRESS, "Operation now in progress."},
    {Win::WSAEALREADY, "Operation already in progress."},
    {Win::WSAENOTSOCK, "Socket operation on non-socket."},
    {Win::WSAEDESTADDRREQ, "Destination address required."},
    {Win::WSAEMSGSIZE, "Message too long."},
    {Win::WSAEPROTOTYPE, "Protocol wrong type for socket."},
    {Win::WSAENOPROTOOPT, "Bad protocol option."},
    {Win::WSAEPROTONOSUPPORT, "Protocol not supported."},
    {Win::WSAESOCKTNOSUPPORT, "Socket type not supported."},
    {Win::WSAEOPNOTSUPP, "Operation not supported."},
    {Win::WSAEPFNOSUPPORT, "Protocol family not supported."},
    {Win::WSAEAFNOSUPPORT, "Address family not supported by protocol family."},
    {Win::WSAEADDRINUSE, "Address already in use."},
    {Win::WSAEADDRNOTAVAIL, "Cannot assign requested address."},
    {Win::WSAENETDOWN, "Network is down."},
    {Win::WSAENETUNREACH, "Network is unreachable."},
    {Win::WSAENETRESET, "Network dropped connection on reset."},
    {Win::WSAECONNABORTED, "Software caused connection abort."},
    {Win::WSAECONNRESET, "Connection reset by peer."},
    {Win::WSAENOBUFS, "No buffer space available."},
    {Win::WSAEISCONN, "Socket is already connected."},
    {Win::WSAENOTCONN, "Socket is not connected."},
    {Win::WSAESHUTDOWN, "Cannot send after socket shutdown."},
    {Win::WSAETIMEDOUT, "Connection timed out."},
    {Win::WSAECONNREFUSED, "Connection refused."},
    {Win::WSAEHOSTDOWN, "Host is down."},
    {Win::WSAEHOSTUNREACH, "No route to host."},
    {Win::WSAEPROCLIM, "Too many processes."},
    {Win::WSASYSNOTREADY, "Network subsystem is unavailable."},
    {Win::WSAVERNOTSUPPORTED, "WINSOCK.DLL version out of range."},
    {Win::WSANOTINITIALISED, "Successful WSAStartup not yet performed."},
    {Win::WSAEDISCON, "Graceful shutdown in progress."},
    {Win::WSAHOST_NOT_FOUND, "Host not found."},
    {Win::WSATRY_AGAIN, "Non-authoritative host not found."},
    {Win::WSANO_RECOVERY, "This is a non-recoverable error."},
    {Win::WSANO_DATA, "Valid name, no data record of requested type."},
};

} // namespace

ESocketError::ESocketError(int code)
    : EHttpError(Format(QStringLiteral("Socket Error # %d\r\n%s"), {code, Description(code)})), m_code(code)
{ }

QString ESocketError::Description(int code)
{
    for (const CodeText& d : kDescriptions)
        if (d.code == code) return QString::fromLatin1(d.text);
    return QString();
}

int ESocketError::CodeFromErrno(int error)
{
    switch (error) {
    case EINTR: return Win::WSAEINTR;
    case EACCES:
    case EPERM: return Win::WSAEACCES;
    case EFAULT: return Win::WSAEFAULT;
    case EINVAL: return Win::WSAEINVAL;
    case EMFILE:
    case ENFILE: return Win::WSAEMFILE;
    case EAGAIN: return Win::WSAEWOULDBLOCK;
    case EINPROGRESS: return Win::WSAEINPROGRESS;
    case EALREADY: return Win::WSAEALREADY;
    case ENOTSOCK:
    case EBADF: return Win::WSAENOTSOCK;
    case EDESTADDRREQ: return Win::WSAEDESTADDRREQ;
    case EMSGSIZE: return Win::WSAEMSGSIZE;
    case EPROTOTYPE: return Win::WSAEPROTOTYPE;
    case ENOPROTOOPT: return Win::WSAENOPROTOOPT;
    case EPROTONOSUPPORT: return Win::WSAEPROTONOSUPPORT;
    case ESOCKTNOSUPPORT: return Win::WSAESOCKTNOSUPPORT;
    case EOPNOTSUPP: return Win::WSAEOPNOTSUPP;
    case EPFNOSUPPORT: return Win::WSAEPFNOSUPPORT;
    case EAFNOSUPPORT: return Win::WSAEAFNOSUPPORT;
    case EADDRINUSE: return Win::WSAEADDRINUSE;
    case EADDRNOTAVAIL: return Win::WSAEADDRNOTAVAIL;
    case ENETDOWN: return Win::WSAENETDOWN;
    case ENETUNREACH: return Win::WSAENETUNREACH;
    case ENETRESET: return Win::WSAENETRESET;
    case ECONNABORTED: return Win::WSAECONNABORTED;
    // Writing to a connection the peer has dropped is a reset on Windows.
    case ECONNRESET:
    case EPIPE: return Win::WSAECONNRESET;
    case ENOBUFS:
    case ENOMEM: return Win::WSAENOBUFS;
    case EISCONN: return Win::WSAEISCONN;
    case ENOTCONN: return Win::WSAENOTCONN;
    case ESHUTDOWN: return Win::WSAESHUTDOWN;
    case ETIMEDOUT: return Win::WSAETIMEDOUT;
    case ECONNREFUSED: return Win::WSAECONNREFUSED;
    case EHOSTDOWN: return Win::WSAEHOSTDOWN;
    case EHOSTUNREACH: return Win::WSAEHOSTUNREACH;
    default: return Win::WSAECONNABORTED;
    }
}

EConnClosedGracefully::EConnClosedGracefully() : EHttpError(QStringLiteral("Connection closed gracefully.")) { }

EHttpProtocolError::EHttpProtocolError(int code, const QString& reason)
    : EHttpError(QStringLiteral("HTTP/1.1 ") + QString::number(code) + u' ' + reason), m_code(code)
{ }
