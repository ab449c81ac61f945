// Writers that count a large document and then write it into room of that
// size split it in two parts, which two threads count and write at once.
#pragma once

#include <cstddef>
#include <exception>
#include <system_error>
#include <thread>

// Text from this length up is written in two parts: below it, a thread takes
// longer to start than it saves.
constexpr std::size_t kTwoPartTextBytes = 256 * 1024;

// Runs job(0) and job(1), the second on a thread of its own when `apart`
// and a thread can be had. An exception of either goes to the caller, once
// both are done.
template <class Job>
void runParts(bool apart, const Job& job) {
    std::thread helper;
    std::exception_ptr failed;
    if (apart) {
        try {
            helper = std::thread([&job, &failed]() noexcept {
                try {
                    job(1);
                } catch (...) {
                    failed = std::current_exception();
                }
            });
        } catch (const std::system_error&) {
            // no thread to be had: both run here
        }
    }
    try {
        job(0);
        if (!helper.joinable()) job(1);
    } catch (...) {
        if (helper.joinable()) helper.join();
        throw;
    }
    if (helper.joinable()) helper.join();
    if (failed) std::rethrow_exception(failed);
}
