#pragma once

namespace iop {

class Iop;

// Marks the IOP whose module code runs now, so that the module's service calls reach it.
class Serving {
public:
    explicit Serving(Iop& iop);
    ~Serving();
    Serving(const Serving&) = delete;
    Serving& operator=(const Serving&) = delete;

    // The IOP a module's service call belongs to.
    static Iop& current();

private:
    Iop* previous_;
};

} // namespace iop
