#pragma once
// Test doubles shared by the document tests: a recorder of map notifications and of map requests.

#include <map>
#include <utility>
#include <vector>

#include "document/MapComputations.h"
#include "document/MapNotify.h"

class NotifyRecorder : public IMapNotify {
public:
    struct Call {
        bool posted;
        int code;
        intptr_t argument;
    };
    intptr_t SendMapNotify(int code, intptr_t argument) override
    {
        calls.push_back({false, code, argument});
        return code == MapNotifyActiveColumn ? activeColumn : 0;
    }
    void PostMapNotify(int code, intptr_t argument) override { calls.push_back({true, code, argument}); }

    std::vector<intptr_t> Arguments(int code) const
    {
        std::vector<intptr_t> out;
        for (const Call& c : calls)
            if (c.code == code)
                out.push_back(c.argument);
        return out;
    }

    std::vector<Call> calls;
    int activeColumn = 0;
};

class RequestRecorder : public IMapComputations {
public:
    struct Request {
        int column;
        bool raisePriority;
        int flags;
    };
    void Request(const CTessarixDoc&, int column, bool raisePriority, int flags) override
    {
        requests.push_back({column, raisePriority, flags});
    }
    void Reset() override { ++resets; }
    bool CopyPicture(int, QImage*) const override { return false; }
    bool HasPicture(int) const override { return false; }
    bool SurfaceValueAt(int, float, float, const CTessarixSettings&, float*) const override { return false; }
    bool InputValueRange(int column, float* smallest, float* largest) const override
    {
        const auto found = inputRanges.find(column);
        if (found == inputRanges.end())
            return false;
        *smallest = found->second.first;
        *largest = found->second.second;
        return true;
    }

    std::vector<struct Request> requests;
    // What InputValueRange reports per column, as a worker would after a request.
    std::map<int, std::pair<float, float>> inputRanges;
    int resets = 0;
};
