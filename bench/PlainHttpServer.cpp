// bench-plainhttp FILE: serves FILE to every GET on 127.0.0.1 (any free port,
// printed as "port N") with a Content-Length and sendfile, until killed.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/sendfile.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: bench-plainhttp FILE\n");
        return 2;
    }
    std::signal(SIGPIPE, SIG_IGN);
    int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(listener, 4) != 0)
        return 1;
    socklen_t length = sizeof address;
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
    std::printf("port %d\n", ntohs(address.sin_port));
    std::fflush(stdout);
    for (;;)
    {
        int client = ::accept(listener, nullptr, nullptr);
        if (client < 0)
            continue;
        std::string request;
        char buffer[4096];
        while (request.find("\r\n\r\n") == std::string::npos)
        {
            ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
            if (n <= 0)
                break;
            request.append(buffer, static_cast<std::size_t>(n));
        }
        int file = ::open(argv[1], O_RDONLY);
        struct stat info{};
        ::fstat(file, &info);
        const std::string header = "HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\nContent-Length: " +
                                   std::to_string(info.st_size) + "\r\nConnection: close\r\n\r\n";
        ::send(client, header.data(), header.size(), 0);
        off_t offset = 0;
        while (offset < info.st_size)
        {
            ssize_t sent = ::sendfile(client, file, &offset, static_cast<std::size_t>(info.st_size - offset));
            if (sent <= 0)
                break;
        }
        ::close(file);
        ::close(client);
    }
}
