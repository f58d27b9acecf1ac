// The interface library carries only embedded resources; this unit gives it a translation unit.
namespace belvardino {
int uiResourcesAnchor = 0;
}
