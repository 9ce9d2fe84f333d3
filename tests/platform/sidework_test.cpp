// The side thread: a task runs beside the caller, is waited for, and hands
// its failure to the caller once.

#include "platform/sidework.h"

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <future>
#include <pthread.h>
#include <stdexcept>
#include <thread>

TEST(SideWork, ATaskRunsBesideTheCallerAndIsWaitedFor)
{
    SideWork side;
    std::promise<void> released;
    std::shared_future<void> release = released.get_future().share();
    std::atomic<bool> ended = false;
    std::thread::id ranOn;
    side.Start([&] {
        ranOn = std::this_thread::get_id();
        release.wait(); // runs only once the caller has gone on
        ended = true;
    });
    EXPECT_FALSE(ended);
    released.set_value();
    side.Finish();
    EXPECT_TRUE(ended);
    EXPECT_NE(ranOn, std::this_thread::get_id());
}

TEST(SideWork, TasksRunOneAfterTheOtherOnOneThread)
{
    SideWork side;
    std::thread::id first;
    std::thread::id second;
    int order = 0;
    side.Start([&] {
        first = std::this_thread::get_id();
        order = order * 10 + 1;
    });
    side.Start([&] {
        second = std::this_thread::get_id();
        order = order * 10 + 2;
    });
    side.Wait();
    EXPECT_EQ(order, 12);
    EXPECT_EQ(first, second);
}

TEST(SideWork, WhatATaskThrowsReachesTheCallerOnce)
{
    SideWork side;
    side.Start([] { throw std::runtime_error("out of memory"); });
    side.Wait(); // waiting alone keeps the failure for Finish
    EXPECT_THROW(side.Finish(), std::runtime_error);
    EXPECT_NO_THROW(side.Finish());

    side.Start([] { throw std::runtime_error("unclaimed"); });
    side.Wait();
    side.Start([] {});
    EXPECT_NO_THROW(side.Finish());
}

TEST(SideWork, GoingAwayWaitsForTheRunningTask)
{
    std::atomic<bool> ended = false;
    std::promise<void> started;
    {
        SideWork side;
        side.Start([&] {
            started.set_value();
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            ended = true;
        });
        started.get_future().wait();
    }
    EXPECT_TRUE(ended);
}

TEST(SideWork, TheSideThreadLeavesTheRequestsToEndToTheMainThread)
{
    SideWork side;
    bool termBlocked = false;
    bool intBlocked = false;
    side.Start([&] {
        sigset_t mask;
        pthread_sigmask(SIG_SETMASK, nullptr, &mask);
        termBlocked = sigismember(&mask, SIGTERM) == 1;
        intBlocked = sigismember(&mask, SIGINT) == 1;
    });
    side.Finish();
    EXPECT_TRUE(termBlocked);
    EXPECT_TRUE(intBlocked);
}
