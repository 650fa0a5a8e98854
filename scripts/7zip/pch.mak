# Included after 7zip_gcc.mak by the bundle makefiles here. Every C++ source of
# 7-Zip begins with Common/Common.h (the system's headers, most of a source's
# compile time): compiled once with the C++ sources' own flags, it is read back by
# each of them. The objects come out byte for byte as without it.
PCH = $O/pch/Common.h
PCH_USE = -Winvalid-pch -include $(PCH)
CXXFLAGS += $(PCH_USE)
$(PCH).gch: PCH_USE =
$(PCH).gch: ../../../Common/Common.h | $(O)
	mkdir -p $O/pch
	echo '#include "$(abspath ../../../Common/Common.h)"' >$(PCH)
	$(CXX) $(CXXFLAGS) -x c++-header $(PCH)
$(OBJS): | $(PCH).gch
