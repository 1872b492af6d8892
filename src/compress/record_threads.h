// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Independent per-record work on several threads, with the results taken in record order, so that the output
// never depends on the number of threads. Workers only compute: every result is handed to the calling thread,
// which alone reports messages and stores records. Records are worked in batches, so that at most one batch of
// results waits at a time.
#include <algorithm>
#include <cstddef>
#include <exception>
#include <system_error>
#include <thread>
#include <type_traits>
#include <vector>

namespace qp {

// One thread per core the machine reports, at least one.
inline unsigned hardwareThreads() { return std::max(1u, std::thread::hardware_concurrency()); }

// Computes produce(i) for i = 0 … count-1 on up to `threads` threads (the calling thread among them), `batch`
// records at a time, and after each batch calls consume(i, result) on the calling thread in increasing order
// of i. Stops when consume returns false, and then returns false. An exception thrown by produce is thrown
// again on the calling thread once the batch's workers have stopped.
template <typename Produce, typename Consume>
bool forEachRecordInOrder(size_t count, unsigned threads, size_t batch, Produce produce, Consume consume) {
    using Result = std::invoke_result_t<Produce&, size_t>;
    static_assert(!std::is_same_v<Result, bool>, "workers write neighbouring results: vector<bool> shares bytes");
    batch = std::max<size_t>(batch, 1);
    std::vector<Result> results;
    for (size_t first = 0; first < count; first += batch) {
        const size_t size = std::min(batch, count - first);
        results.clear();
        results.resize(size);
        const size_t workers = std::clamp<size_t>(threads, 1, size);
        std::vector<std::exception_ptr> failures(workers);
        auto work = [&](size_t worker) {
            try {
                for (size_t i = worker; i < size; i += workers) results[i] = produce(first + i);
            } catch (...) {
                failures[worker] = std::current_exception();
            }
        };
        std::vector<std::thread> helpers;
        helpers.reserve(workers - 1);
        for (size_t worker = 1; worker < workers; ++worker) {
            try {
                helpers.emplace_back(work, worker);
            } catch (const std::system_error&) {
                work(worker);  // no thread to be had: the calling thread does its share
            }
        }
        work(0);
        for (std::thread& helper : helpers) helper.join();
        for (const std::exception_ptr& failure : failures)
            if (failure) std::rethrow_exception(failure);
        for (size_t i = 0; i < size; ++i)
            if (!consume(first + i, std::move(results[i]))) return false;
    }
    return true;
}

}  // namespace qp
